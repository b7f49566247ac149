// The contact fields read from fldigi and how each reaches the host: one row per field. A row
// names fldigi's getter, the slot of LastSentFields that remembers what was sent, its place in
// the send order, the host's action (with the host field for SetQsoField) and the field of a
// logged record (ADIF) that holds the contact's own text.
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

enum class SendOrder {
    AsRead,  // in the read order
    Last,    // after all the others: the host takes the frequency once the rest is in its form
};

struct FieldSpec {
    const char* method;
    std::string LastSentFields::*member;
    SendOrder sendOrder;
    FieldAction action;
    HostField hostField;  // for FieldAction::QsoField only
    const char* recordField;
};

namespace detail {
inline constexpr HostField kNoHostField{-1, ""};
}  // namespace detail

// In the order they are read from fldigi.
inline constexpr FieldSpec kFieldsInReadOrder[] = {
    {"log.get_call", &LastSentFields::callsign, SendOrder::AsRead, FieldAction::QsoField,
     hostfield::kCall, "CALL"},
    {"log.get_name", &LastSentFields::name, SendOrder::AsRead, FieldAction::QsoField,
     hostfield::kName, "NAME"},
    {"log.get_qth", &LastSentFields::qth, SendOrder::AsRead, FieldAction::QsoField, hostfield::kQth,
     "QTH"},
    {"log.get_frequency", &LastSentFields::frequency, SendOrder::Last, FieldAction::Frequency,
     detail::kNoHostField, "FREQ"},
    {"log.get_rst_in", &LastSentFields::rstIn, SendOrder::AsRead, FieldAction::QsoField,
     hostfield::kRstReceived, "RST_RCVD"},
    {"log.get_rst_out", &LastSentFields::rstOut, SendOrder::AsRead, FieldAction::QsoField,
     hostfield::kRstSent, "RST_SENT"},
    {"modem.get_name", &LastSentFields::modem, SendOrder::AsRead, FieldAction::Modem,
     detail::kNoHostField, "MODE"},
    {"log.get_locator", &LastSentFields::locator, SendOrder::AsRead, FieldAction::QsoField,
     hostfield::kLocator, "GRIDSQUARE"},
    {"log.get_state", &LastSentFields::state, SendOrder::AsRead, FieldAction::QsoField,
     hostfield::kState, "STATE"},
    {"log.get_province", &LastSentFields::province, SendOrder::AsRead, FieldAction::QsoField,
     hostfield::kProvince, "VE_PROV"},
    {"log.get_notes", &LastSentFields::notes, SendOrder::AsRead, FieldAction::QsoField,
     hostfield::kNotes, "NOTES"},
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
    std::size_t next = 0;
    for (const SendOrder pass : {SendOrder::AsRead, SendOrder::Last}) {
        for (std::size_t i = 0; i < kFieldCount; ++i) {
            if (kFieldsInReadOrder[i].sendOrder == pass) {
                order[next++] = i;
            }
        }
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
static_assert(kSendOrder[kFieldCount - 1] == fieldWithAction(FieldAction::Frequency) &&
                  kFieldsInReadOrder[kSendOrder[kFieldCount - 2]].sendOrder == SendOrder::AsRead,
              "the frequency goes out last, alone");

}  // namespace pollcycle
