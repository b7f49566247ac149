#include "app/poll/poll_cycle.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/poll/frequency_text.h"
#include "app/poll/marker_path.h"
#include "app/poll/modem_macro.h"

namespace pollcycle {
namespace {

constexpr const char* kSaveMacro = "<SAVEQSO>";
const char* const kCommitMacros[] = {"<FIXSTARTTIME>", kSaveMacro, "<CURSOR:TX>"};

constexpr std::size_t kFrequencyRow = fieldWithAction(FieldAction::Frequency);
constexpr std::size_t kModemRow = fieldWithAction(FieldAction::Modem);

constexpr std::size_t rowOfSlot(std::string LastSentFields::*member) {
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (kFieldsInReadOrder[i].member == member) {
            return i;
        }
    }
    return kFieldCount;
}
constexpr std::size_t kCallRow = rowOfSlot(&LastSentFields::callsign);
static_assert(kCallRow < kFieldCount, "the call is one of the fields");

// A host call that failed: the host is gone, or refused. Only the tick catches it.
struct HostCallFailure {
    std::string error;
};

template <class Call>
void callHost(Call&& call) {
    try {
        call();
    } catch (const std::exception& e) {
        throw HostCallFailure{e.what()};
    }
}

// A record's FREQ (MHz, '.' or ',' as decimal point) in whole hertz; 0 when it has none.
double recordHertz(const AdifRecord& record) {
    const std::string* mhz = record.field("FREQ");
    const double hertz = mhz != nullptr ? std::round(leadingDecimalNumber(*mhz) * 1e6) : 0.0;
    return std::isfinite(hertz) && hertz > 0.0 ? hertz : 0.0;
}

// A frequency text (kHz, as fldigi writes it) for `hertz`.
std::string kilohertzText(double hertz) {
    char text[48];
    std::snprintf(text, sizeof text, "%.3f", hertz / 1000.0);
    return text;
}

// Every text field empty, the frequency and the modem left out: a contact's fields before its
// record's own are put in.
std::array<std::optional<std::string>, kFieldCount> emptyTextFields() {
    std::array<std::optional<std::string>, kFieldCount> texts;
    for (std::size_t row = 0; row < kFieldCount; ++row) {
        if (kFieldsInReadOrder[row].action == FieldAction::QsoField) {
            texts[row] = std::string();
        }
    }
    return texts;
}

// A call as fldigi keeps it in its entry: in capitals.
std::string upperCall(std::string call) {
    for (char& c : call) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return call;
}

}  // namespace

PollCycle::PollCycle(PollState& state, const PollPorts& ports)
    : state_(state),
      fldigi_(ports.fldigi),
      host_(ports.host),
      markers_(ports.markers),
      view_(ports.view),
      events_(ports.events) {}

void PollCycle::OnTimer() {
    // Stopped while the tick runs (also through a message box's own message loop), so ticks
    // never overlap.
    view_.killTimer(kPollTimerId);
    try {
        RunTick();
    } catch (const HostCallFailure& failure) {
        LoseHost(failure.error);
    }
    view_.setTimer(kPollTimerId, kPollPeriodMs);
}

void PollCycle::RunTick() {
    if (!state_.hostAttached && !AttachHost()) {
        // Nothing is read from fldigi while the host is absent, but first contact goes on.
        if (!state_.fldigiConnected) {
            ConnectFldigi();
        }
        return;
    }
    if (!state_.fldigiConnected && !ConnectFldigi()) {
        return;
    }
    view_.setCaption(kConnectedCaption);
    view_.showLinkMark();
    const FieldTexts reads = ReadFields();
    ContactLedger ledger(state_.ledger, markers_, events_, state_.markerPath);
    const std::vector<PendingContact> contacts = ledger.takePending();
    if (contacts.empty()) {
        SendFields(reads, Send::Changed);
    } else {
        CommitLoggedQso(ledger, contacts, reads);
    }
}

bool PollCycle::AttachHost() {
    if (!host_.attach()) {
        events_.record(event::HostNotRunning{});
        return false;
    }
    state_.hostAttached = true;
    events_.record(event::HostAttached{});
    ShowWorking(Indicator::Host, "Kebrin working");
    return true;
}

bool PollCycle::ConnectFldigi() {
    const std::unique_ptr<FldigiSession> session = fldigi_.openSession();
    const FldigiReply name = session->call("fldigi.name");
    if (!name.ok) {
        events_.record(event::FldigiCallFailed{"fldigi.name", session->lastError()});
        return false;
    }
    events_.record(event::FldigiConnected{name.text});
    const FldigiReply configDir = session->call("fldigi.config_dir");
    events_.record(event::FldigiConfigFolder{configDir.ok, configDir.text,
                                             configDir.ok ? std::string() : session->lastError()});
    std::string markerPath =
        markerPathForConfigDir(configDir.ok && configDir.isString ? configDir.text : "");
    if (markerPath != state_.markerPath) {
        // fldigi came back with another configuration folder: what the ledger knew was of
        // the old one, its problems with it too.
        for (const auto& [kind, path] : state_.ledger.reportedProblems) {
            events_.record(event::ProblemEnded{kind, path});
        }
        state_.ledger = LedgerMemory();
        state_.markerPath = std::move(markerPath);
    }
    state_.fldigiConnected = true;
    ShowWorking(Indicator::Fldigi, "Fldigi working");
    return true;
}

void PollCycle::ShowLook(Indicator indicator, const char* text, bool working) {
    view_.setCheckedFlag(indicator, working);
    view_.setIndicatorText(indicator, text);
    view_.setIndicatorFaceColor(indicator, working ? kWorkingFaceColor : kNotLoadedFaceColor);
    view_.setIndicatorCaptionColor(indicator,
                                   working ? kWorkingCaptionColor : kNotLoadedCaptionColor);
    view_.moveFlagsIntoControls();
}

void PollCycle::ShowWorking(Indicator indicator, const char* text) {
    ShowLook(indicator, text, true);
}

void PollCycle::ShowNotLoaded(Indicator indicator, const char* text) {
    ShowLook(indicator, text, false);
    view_.hideLinkMark();
    view_.setCaption(VARNOCK_MAIN_CAPTION);
}

void PollCycle::LoseFldigi(const std::string& error) {
    // Found again as at start, its configuration folder read anew.
    state_.fldigiConnected = false;
    events_.record(event::FldigiLost{error});
    ShowNotLoaded(Indicator::Fldigi, kFldigiNotLoadedText);
}

void PollCycle::LoseHost(const std::string& error) {
    state_.hostAttached = false;
    // A host attached again starts from an empty form, as at start.
    state_.lastSent = LastSentFields();
    events_.record(event::HostLost{error});
    ShowNotLoaded(Indicator::Host, kHostNotLoadedText);
    view_.showHostError(error);
    events_.record(event::BoxAnswered{error, MessageAnswer::Ok});
}

std::optional<std::string> PollCycle::GetFldigiString(const char* method) {
    std::unique_ptr<FldigiSession> session = fldigi_.openSession();
    FldigiReply reply = session->call(method);
    const std::string error = reply.ok ? std::string() : session->lastError();
    session.reset();
    if (!reply.ok) {
        events_.record(event::FldigiCallFailed{method, error});
        if (state_.fldigiConnected) {
            LoseFldigi(error);
        }
        const MessageAnswer answer = view_.askOkCancel(kFldigiNotLoadedMessage);
        events_.record(event::BoxAnswered{kFldigiNotLoadedMessage, answer});
        if (answer == MessageAnswer::Ok) {
            events_.record(event::ProcessExit{0});
            view_.exitProcess(0);
        }
        // Going on without the value must not look like the operator emptied the field.
        return std::nullopt;
    }
    return reply.isString ? std::move(reply.text) : std::string();
}

PollCycle::FieldTexts PollCycle::ReadFields() {
    FieldTexts texts;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        texts[i] = GetFldigiString(kFieldsInReadOrder[i].method);
    }
    return texts;
}

void PollCycle::SendFields(const FieldTexts& texts, Send which) {
    for (const std::size_t i : kSendOrder) {
        if (!texts[i]) {
            continue;
        }
        const FieldSpec& field = kFieldsInReadOrder[i];
        std::string& lastSent = state_.lastSent.*field.member;
        if (which == Send::Changed && *texts[i] == lastSent) {
            continue;
        }
        lastSent = *texts[i];
        SendField(field, lastSent);
    }
}

void PollCycle::SendField(const FieldSpec& field, const std::string& text) {
    callHost([&] {
        switch (field.action) {
            case FieldAction::QsoField:
                host_.setQsoField(field.hostField.index, text);
                break;
            case FieldAction::Frequency:
                host_.setFrequency(frequencyHertzFromKilohertzText(text));
                break;
            case FieldAction::Modem:
                MapModemToMacro(text);
                break;
        }
    });
}

void PollCycle::MapModemToMacro(const std::string& modem) {
    if (const char* macro = modeMacroForModem(modem)) {
        host_.runMacro(macro);
    } else {
        host_.setMode(modem);
    }
}

PollCycle::FieldTexts PollCycle::ContactTexts(const AdifRecord& record, const FieldTexts& reads,
                                              FieldTexts base) const {
    const auto own = [&](const char* name) {
        const std::string* value = record.field(name);
        return value != nullptr ? fldigi_.decodeText(*value) : std::string();
    };
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const FieldSpec& field = kFieldsInReadOrder[i];
        if (field.action == FieldAction::QsoField && record.field(field.recordField) != nullptr) {
            base[i] = own(field.recordField);
        }
    }
    // The mode the contact was made in, which fldigi may have left since.
    const std::string modem =
        modemTextForRecordMode(own("MODE"), own("SUBMODE"), reads[kModemRow].value_or(""));
    if (!modem.empty()) {
        base[kModemRow] = modem;
    }
    // The frequency it was made on, kept in fldigi's spelling while the radio is still there.
    if (const double hertz = recordHertz(record); hertz > 0.0) {
        const std::string& current =
            reads[kFrequencyRow] ? *reads[kFrequencyRow] : state_.lastSent.frequency;
        base[kFrequencyRow] = std::round(frequencyHertzFromKilohertzText(current)) == hertz
                                  ? current
                                  : kilohertzText(hertz);
    }
    return base;
}

void PollCycle::CommitLoggedQso(ContactLedger& ledger, const std::vector<PendingContact>& contacts,
                                const FieldTexts& reads) {
    std::string savedCall;
    for (std::size_t i = 0; i < contacts.size(); ++i) {
        const AdifRecord& record = contacts[i].record;
        if (i == 0) {
            // With fields that outlive the log click the record matches the reads, and the host
            // gets what it would get without a record.
            SendFields(ContactTexts(record, reads, reads), Send::Changed);
        } else {
            // The host's form after a save is not known: every field of this contact goes out.
            SendFields(ContactTexts(record, reads, emptyTextFields()), Send::All);
        }
        const std::string* field = record.field("CALL");
        const std::string call = field != nullptr ? fldigi_.decodeText(*field) : std::string();
        events_.record(event::ContactSaving{call, contacts[i].file});
        for (const char* macro : kCommitMacros) {
            callHost([&] { host_.runMacro(macro); });
            if (macro != kSaveMacro) {
                continue;
            }
            // Calls that reached no host interface saved nothing: the contact stays for later,
            // and what the host's form holds is not known.
            if (!host_.callsReachHost()) {
                state_.lastSent = LastSentFields();
                return;
            }
            // Saved once the host took "<SAVEQSO>": a failure after it does not save it again.
            ledger.markSaved(contacts[i]);
            events_.record(event::ContactSaved{call, contacts[i].file, markers_.nowUtcSeconds()});
        }
        savedCall = call;
    }
    ClearSavedEntry(reads, savedCall);
}

void PollCycle::ClearSavedEntry(const FieldTexts& reads, const std::string& savedCall) {
    // fldigi's entry is only a convenience for the next contact, and one being typed already
    // is the operator's: it is left alone.
    const std::optional<std::string>& shown = reads[kCallRow];
    if (savedCall.empty() || !shown || upperCall(*shown) != upperCall(savedCall)) {
        return;
    }
    // Outcome only logged.
    const std::unique_ptr<FldigiSession> session = fldigi_.openSession();
    const FldigiReply cleared = session->call("log.clear");
    events_.record(
        event::FldigiLogCleared{cleared.ok, cleared.ok ? std::string() : session->lastError()});
}

}  // namespace pollcycle
