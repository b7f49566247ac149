#include "app/poll/field_table.h"

namespace pollcycle {

const std::array<FieldSpec, kFieldCount> kFieldsInReadOrder = {{
    {"log.get_call", &LastSentFields::callsign, FieldAction::QsoField, hostfield::kCall.index,
     "CALL"},
    {"log.get_name", &LastSentFields::name, FieldAction::QsoField, hostfield::kName.index, "NAME"},
    {"log.get_qth", &LastSentFields::qth, FieldAction::QsoField, hostfield::kQth.index, "QTH"},
    {"log.get_frequency", &LastSentFields::frequency, FieldAction::Frequency, -1, nullptr},
    {"log.get_rst_in", &LastSentFields::rstIn, FieldAction::QsoField, hostfield::kRstReceived.index,
     "RST_RCVD"},
    {"log.get_rst_out", &LastSentFields::rstOut, FieldAction::QsoField, hostfield::kRstSent.index,
     "RST_SENT"},
    {"modem.get_name", &LastSentFields::modem, FieldAction::Modem, -1, nullptr},
    {"log.get_locator", &LastSentFields::locator, FieldAction::QsoField, hostfield::kLocator.index,
     "GRIDSQUARE"},
    {"log.get_state", &LastSentFields::state, FieldAction::QsoField, hostfield::kState.index,
     "STATE"},
    {"log.get_province", &LastSentFields::province, FieldAction::QsoField,
     hostfield::kProvince.index, "VE_PROV"},
    {"log.get_notes", &LastSentFields::notes, FieldAction::QsoField, hostfield::kNotes.index,
     "NOTES"},
}};

const std::array<std::size_t, kFieldCount> kSendOrder = {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 3};

}  // namespace pollcycle
