// The contact fields read from fldigi and how each reaches the host: one row per field. A row
// names fldigi's getter, the slot of LastSentFields that remembers what was sent, where the
// field goes in the send order, the host's action (with the host field for SetQsoField) and
// the field of a logged record (ADIF) that holds the contact's own text.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "app/poll/host_port.h"
#include "app/poll/poll_state.h"

namespace pollcycle {

enum class FieldAction {
    QsoField,   // SetQsoField with the row's host field
    Frequency,  // Frequency := leading number of the text × 1000; the record's FREQ is in MHz
    Modem,      // MapModemToMacro; the record's MODE and SUBMODE give the modem's text
};

struct FieldSpec {
    const char* method;
    std::string LastSentFields::*member;
    std::size_t sendPosition;  // 0 first; every row has its own
    FieldAction action;
    HostField hostField;  // for FieldAction::QsoField only
    const char* recordField;
};

namespace detail {
inline constexpr HostField kNoHostField{-1, ""};
}  // namespace detail

// In the order they are read from fldigi.
inline constexpr FieldSpec kFieldsInReadOrder[] = {
    {"log.get_call", &LastSentFields::callsign, 0, FieldAction::QsoField, hostfield::kCall, "CALL"},
    {"log.get_name", &LastSentFields::name, 1, FieldAction::QsoField, hostfield::kName, "NAME"},
    {"log.get_qth", &LastSentFields::qth, 2, FieldAction::QsoField, hostfield::kQth, "QTH"},
    {"log.get_frequency", &LastSentFields::frequency, 10, FieldAction::Frequency,
     detail::kNoHostField, "FREQ"},
    {"log.get_rst_in", &LastSentFields::rstIn, 3, FieldAction::QsoField, hostfield::kRstReceived,
     "RST_RCVD"},
    {"log.get_rst_out", &LastSentFields::rstOut, 4, FieldAction::QsoField, hostfield::kRstSent,
     "RST_SENT"},
    {"modem.get_name", &LastSentFields::modem, 5, FieldAction::Modem, detail::kNoHostField, "MODE"},
    {"log.get_locator", &LastSentFields::locator, 6, FieldAction::QsoField, hostfield::kLocator,
     "GRIDSQUARE"},
    {"log.get_state", &LastSentFields::state, 7, FieldAction::QsoField, hostfield::kState, "STATE"},
    {"log.get_province", &LastSentFields::province, 8, FieldAction::QsoField, hostfield::kProvince,
     "VE_PROV"},
    {"log.get_notes", &LastSentFields::notes, 9, FieldAction::QsoField, hostfield::kNotes, "NOTES"},
};

inline constexpr std::size_t kFieldCount = std::size(kFieldsInReadOrder);

namespace detail {

constexpr std::size_t countOfAction(FieldAction action) {
    std::size_t count = 0;
    for (const FieldSpec& field : kFieldsInReadOrder) {
        count += field.action == action ? 1 : 0;
    }
    return count;
}

// Every slot of LastSentFields belongs to exactly one row, and every row has one.
constexpr bool eachSlotOnce() {
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        for (std::size_t j = i + 1; j < kFieldCount; ++j) {
            if (kFieldsInReadOrder[i].member == kFieldsInReadOrder[j].member) {
                return false;
            }
        }
    }
    return sizeof(LastSentFields) == kFieldCount * sizeof(std::string);
}

constexpr std::array<std::size_t, kFieldCount> sendOrder() {
    std::array<std::size_t, kFieldCount> order{};
    std::array<bool, kFieldCount> taken{};
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const std::size_t position = kFieldsInReadOrder[i].sendPosition;
        if (position >= kFieldCount || taken[position]) {
            throw "every row needs its own send position, from 0 to the row count - 1";
        }
        taken[position] = true;
        order[position] = i;
    }
    return order;
}

}  // namespace detail

// Rows of kFieldsInReadOrder, in the order changed fields are sent.
inline constexpr std::array<std::size_t, kFieldCount> kSendOrder = detail::sendOrder();

// The row of the one field with `action` (the frequency, the modem).
constexpr std::size_t fieldWithAction(FieldAction action) {
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (kFieldsInReadOrder[i].action == action) {
            return i;
        }
    }
    return kFieldCount;
}

static_assert(detail::eachSlotOnce(), "one LastSentFields member per row, and one row per member");
static_assert(detail::countOfAction(FieldAction::Frequency) == 1 &&
                  detail::countOfAction(FieldAction::Modem) == 1,
              "one frequency row and one modem row");
// The host takes the frequency last, once every other field of the contact is in its form.
static_assert(kSendOrder[kFieldCount - 1] == fieldWithAction(FieldAction::Frequency),
              "the frequency goes out last");

}  // namespace pollcycle
