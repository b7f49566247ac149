#include "app/poll/field_table.h"

namespace pollcycle {

const std::array<FieldSpec, kFieldCount> kFieldsInReadOrder = {{
    {"log.get_call", &LastSentFields::callsign, FieldAction::QsoField, 0},
    {"log.get_name", &LastSentFields::name, FieldAction::QsoField, 1},
    {"log.get_qth", &LastSentFields::qth, FieldAction::QsoField, 3},
    {"log.get_frequency", &LastSentFields::frequency, FieldAction::Frequency, -1},
    {"log.get_rst_in", &LastSentFields::rstIn, FieldAction::QsoField, 2},
    {"log.get_rst_out", &LastSentFields::rstOut, FieldAction::QsoField, 5},
    {"modem.get_name", &LastSentFields::modem, FieldAction::Modem, -1},
    {"log.get_locator", &LastSentFields::locator, FieldAction::QsoField, 10},
    {"log.get_state", &LastSentFields::state, FieldAction::QsoField, 7},
    {"log.get_province", &LastSentFields::province, FieldAction::QsoField, 8},
    {"log.get_notes", &LastSentFields::notes, FieldAction::QsoField, 4},
}};

const std::array<std::size_t, kFieldCount> kSendOrder = {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 3};

}  // namespace pollcycle
