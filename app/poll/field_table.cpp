#include "app/poll/field_table.h"

namespace pollcycle {

const std::array<FieldSpec, kFieldCount> kFieldsInReadOrder = {{
    {"log.get_call", &LastSentFields::callsign, FieldAction::QsoField, 0, "CALL"},
    {"log.get_name", &LastSentFields::name, FieldAction::QsoField, 1, "NAME"},
    {"log.get_qth", &LastSentFields::qth, FieldAction::QsoField, 3, "QTH"},
    {"log.get_frequency", &LastSentFields::frequency, FieldAction::Frequency, -1, nullptr},
    {"log.get_rst_in", &LastSentFields::rstIn, FieldAction::QsoField, 2, "RST_RCVD"},
    {"log.get_rst_out", &LastSentFields::rstOut, FieldAction::QsoField, 5, "RST_SENT"},
    {"modem.get_name", &LastSentFields::modem, FieldAction::Modem, -1, nullptr},
    {"log.get_locator", &LastSentFields::locator, FieldAction::QsoField, 10, "GRIDSQUARE"},
    {"log.get_state", &LastSentFields::state, FieldAction::QsoField, 7, "STATE"},
    {"log.get_province", &LastSentFields::province, FieldAction::QsoField, 8, "VE_PROV"},
    {"log.get_notes", &LastSentFields::notes, FieldAction::QsoField, 4, "NOTES"},
}};

const std::array<std::size_t, kFieldCount> kSendOrder = {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 3};

}  // namespace pollcycle
