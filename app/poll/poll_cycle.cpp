#include "app/poll/poll_cycle.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "app/poll/frequency_text.h"
#include "app/poll/marker_path.h"
#include "app/poll/modem_macro.h"

namespace pollcycle {
namespace {

const char* const kCommitMacros[] = {"<FIXSTARTTIME>", "<SAVEQSO>", "<CURSOR:TX>"};

constexpr std::size_t kFrequencyField = 3;  // "log.get_frequency" in the read order

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

}  // namespace

PollCycle::PollCycle(PollState& state, FldigiPort& fldigi, HostPort& host, MarkerFilesPort& markers,
                     PollView& view, BridgeEvents& events)
    : state_(state),
      fldigi_(fldigi),
      host_(host),
      markers_(markers),
      view_(view),
      events_(events) {}

void PollCycle::OnTimer() {
    // Stopped while the tick runs (also through a message box's own message loop), so ticks
    // never overlap; an exception escaping RunTick() leaves polling stopped.
    view_.killTimer(kPollTimerId);
    RunTick();
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
    const std::size_t setAsideBefore = state_.ledger.setAside;
    view_.setCaption(setAsideBefore == 0 ? std::string(kConnectedCaption)
                                         : std::string(kConnectedCaption) + kSetAsideNotice);
    view_.showLinkMark();
    FieldTexts texts = ReadFields();
    ContactLedger ledger(state_.ledger, markers_, events_, state_.markerPath);
    const std::vector<PendingContact> contacts = ledger.takePending();
    // The first contact's own fields replace what was read (fldigi may have cleared its fields
    // already): with fields that outlive the log click the record matches the read texts and
    // the host gets what it would get without a record.
    if (!contacts.empty()) {
        TakeRecordTexts(contacts.front().record, texts);
    }
    SendChangedFields(texts);
    if (!contacts.empty()) {
        CommitLoggedQso(ledger, contacts);
    }
    if (state_.ledger.setAside != setAsideBefore) {  // the operator must see it without a log
        view_.setCaption(std::string(kConnectedCaption) + kSetAsideNotice);
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
    state_.markerPath =
        markerPathForConfigDir(configDir.ok && configDir.isString ? configDir.text : "");
    state_.fldigiConnected = true;
    ShowWorking(Indicator::Fldigi, "Fldigi working");
    return true;
}

void PollCycle::ShowWorking(Indicator indicator, const char* text) {
    view_.setCheckedFlag(indicator, true);
    view_.setIndicatorText(indicator, text);
    view_.setIndicatorFaceColor(indicator, kWorkingFaceColor);
    view_.setIndicatorCaptionColor(indicator, kWorkingCaptionColor);
    view_.moveFlagsIntoControls();
}

std::optional<std::string> PollCycle::GetFldigiString(const char* method) {
    std::unique_ptr<FldigiSession> session = fldigi_.openSession();
    FldigiReply reply = session->call(method);
    if (!reply.ok) {
        events_.record(event::FldigiCallFailed{method, session->lastError()});
    }
    session.reset();
    if (!reply.ok) {
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

void PollCycle::SendChangedFields(const FieldTexts& texts) {
    for (const std::size_t i : kSendOrder) {
        if (!texts[i]) {
            continue;
        }
        const FieldSpec& field = kFieldsInReadOrder[i];
        std::string& lastSent = state_.lastSent.*field.member;
        if (*texts[i] == lastSent) {
            continue;
        }
        lastSent = *texts[i];
        SendField(field, lastSent);
    }
}

void PollCycle::SendField(const FieldSpec& field, const std::string& text) {
    switch (field.action) {
        case FieldAction::QsoField:
            host_.setQsoField(field.qsoFieldIndex, text);
            break;
        case FieldAction::Frequency:
            host_.setFrequency(frequencyHertzFromKilohertzText(text));
            break;
        case FieldAction::Modem:
            MapModemToMacro(text);
            break;
    }
}

void PollCycle::MapModemToMacro(const std::string& modem) {
    if (const char* macro = modeMacroForModem(modem)) {
        host_.runMacro(macro);
    } else {
        host_.setMode(modem);
    }
}

void PollCycle::TakeRecordTexts(const AdifRecord& record, FieldTexts& texts) const {
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const char* name = kFieldsInReadOrder[i].recordField;
        if (const std::string* value = name != nullptr ? record.field(name) : nullptr) {
            texts[i] = fldigi_.decodeText(*value);
        }
    }
    // The host gets the frequency the contact was made on, which the radio may have left.
    const double hertz = recordHertz(record);
    std::optional<std::string>& frequency = texts[kFrequencyField];
    const std::string& current = frequency ? *frequency : state_.lastSent.frequency;
    if (hertz > 0.0 && std::round(frequencyHertzFromKilohertzText(current)) != hertz) {
        frequency = kilohertzText(hertz);
    }
}

void PollCycle::CommitLoggedQso(ContactLedger& ledger,
                                const std::vector<PendingContact>& contacts) {
    for (std::size_t i = 0; i < contacts.size(); ++i) {
        if (i > 0) {
            FieldTexts texts;
            TakeRecordTexts(contacts[i].record, texts);
            SendChangedFields(texts);
        }
        const std::string* field = contacts[i].record.field("CALL");
        const std::string call = field != nullptr ? fldigi_.decodeText(*field) : std::string();
        events_.record(event::ContactSaving{call, contacts[i].file});
        for (const char* macro : kCommitMacros) {
            host_.runMacro(macro);
        }
        // Calls that reached no host interface saved nothing: the contact stays for later.
        if (!host_.callsReachHost()) {
            return;
        }
        ledger.markSaved(contacts[i]);
        events_.record(event::ContactSaved{call, contacts[i].file, markers_.nowUtcSeconds()});
    }
    // Outcome only logged: fldigi's fields are only a convenience for the next contact.
    const std::unique_ptr<FldigiSession> session = fldigi_.openSession();
    const FldigiReply cleared = session->call("log.clear");
    events_.record(
        event::FldigiLogCleared{cleared.ok, cleared.ok ? std::string() : session->lastError()});
}

}  // namespace pollcycle
