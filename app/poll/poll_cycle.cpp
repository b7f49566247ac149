#include "app/poll/poll_cycle.h"

#include <memory>

#include "app/poll/frequency_text.h"
#include "app/poll/marker_path.h"
#include "app/poll/modem_macro.h"

namespace pollcycle {
namespace {

const char* const kCommitMacros[] = {"<FIXSTARTTIME>", "<SAVEQSO>", "<CURSOR:TX>"};

}  // namespace

PollCycle::PollCycle(PollState& state, FldigiPort& fldigi, HostPort& host, MarkerFilesPort& markers,
                     PollView& view)
    : state_(state), fldigi_(fldigi), host_(host), markers_(markers), view_(view) {}

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
    view_.setCaption(kConnectedCaption);
    view_.showLinkMark();
    SendChangedFields(ReadFields());
    LookForLoggedQso();
}

bool PollCycle::AttachHost() {
    if (!host_.Attach()) {
        return false;
    }
    state_.hostAttached = true;
    ShowWorking(Indicator::Host, "Kebrin working");
    return true;
}

bool PollCycle::ConnectFldigi() {
    const std::unique_ptr<FldigiSession> session = fldigi_.openSession();
    if (!session->call("fldigi.name").ok) {
        return false;
    }
    const FldigiReply configDir = session->call("fldigi.config_dir");
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
    session.reset();
    if (!reply.ok) {
        if (view_.askOkCancel(kFldigiNotLoadedMessage) == MessageAnswer::Ok) {
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
            host_.SetQsoField(field.qsoFieldIndex, text);
            break;
        case FieldAction::Frequency:
            host_.SetFrequency(frequencyHertzFromKilohertzText(text));
            break;
        case FieldAction::Modem:
            MapModemToMacro(text);
            break;
    }
}

void PollCycle::MapModemToMacro(const std::string& modem) {
    if (const char* macro = modeMacroForModem(modem)) {
        host_.RunMacro(macro);
    } else {
        host_.SetMode(modem);
    }
}

void PollCycle::LookForLoggedQso() {
    bool markerSeen = false;
    for (const MarkerEntry& entry : markers_.find(state_.markerPath)) {
        if (entry.name.find("log.adif") == std::string::npos) {
            continue;
        }
        markerSeen = true;
        const MarkerIdentity identity{entry.size, entry.lastWriteTime};
        if (state_.committedUndeletedMarker == identity) {
            continue;  // this contact was saved already; fldigi has not added another since
        }
        CommitLoggedQso(entry);
        return;
    }
    if (!markerSeen) {
        state_.committedUndeletedMarker.reset();
    }
}

void PollCycle::CommitLoggedQso(const MarkerEntry& marker) {
    view_.noteContactCommitted(marker);
    for (const char* macro : kCommitMacros) {
        host_.RunMacro(macro);
    }
    if (markers_.remove(state_.markerPath)) {
        state_.committedUndeletedMarker.reset();
    } else {
        state_.committedUndeletedMarker = MarkerIdentity{marker.size, marker.lastWriteTime};
    }
    // Outcome ignored: fldigi's fields are only a convenience for the next contact.
    fldigi_.openSession()->call("log.clear");
}

}  // namespace pollcycle
