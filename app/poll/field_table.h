// The eleven contact fields read from fldigi and how each reaches the host.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/poll/host_port.h"
#include "app/poll/poll_state.h"

namespace pollcycle {

enum class FieldAction {
    QsoField,   // SetQsoField with the field's index
    Frequency,  // Frequency := leading number of the text × 1000
    Modem,      // MapModemToMacro
};

struct FieldSpec {
    const char* method;
    std::string LastSentFields::*member;
    FieldAction action;
    int32_t qsoFieldIndex;  // for FieldAction::QsoField only
    // The field of a logged record (ADIF) that holds the contact's text; nullptr for the
    // frequency and the modem, which always come from fldigi's reads.
    const char* recordField;
};

inline constexpr std::size_t kFieldCount = 11;

// In the order they are read from fldigi.
extern const std::array<FieldSpec, kFieldCount> kFieldsInReadOrder;

// Positions in kFieldsInReadOrder, in the order changed fields are sent: the frequency last.
extern const std::array<std::size_t, kFieldCount> kSendOrder;

}  // namespace pollcycle
