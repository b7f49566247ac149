#include "app/poll/poll_cycle.h"

#include <memory>

#include "app/poll/frequency_text.h"
#include "app/poll/marker_path.h"
#include "app/poll/modem_macro.h"

namespace pollcycle {
namespace {

const char* const kCommitMacros[] = {"<FIXSTARTTIME>", "<SAVEQSO>", "<CURSOR:TX>"};

// The texts a logged record gives the fields it holds; the others (the frequency and the modem
// among them) have no value.
void takeRecordTexts(const AdifRecord& record, std::optional<std::string>* texts) {
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const char* name = kFieldsInReadOrder[i].recordField;
        if (const std::string* value = name != nullptr ? record.field(name) : nullptr) {
            texts[i] = *value;
        }
    }
}

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
    FieldTexts texts = ReadFields();
    const std::optional<LoggedContacts> logged = LookForLoggedQso();
    // The first contact's own fields replace what was read (fldigi may have cleared its fields
    // already): with fields that outlive the log click the record matches the read texts and
    // the host gets what it would get without a record.
    if (logged && !logged->saves.empty() && logged->saves.front()) {
        takeRecordTexts(*logged->saves.front(), texts.data());
    }
    SendChangedFields(texts);
    if (logged) {
        CommitLoggedQso(*logged);
    }
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

std::optional<LoggedContacts> PollCycle::LookForLoggedQso() {
    for (const MarkerEntry& entry : markers_.find(state_.markerPath)) {
        if (entry.name.find("log.adif") == std::string::npos) {
            continue;
        }
        const MarkerIdentity identity{entry.size, entry.lastWriteTime};
        const bool unchanged = state_.committedUndeletedMarker == identity;
        if (unchanged && !state_.markerTailUnfinished) {
            return std::nullopt;  // what it holds was saved; fldigi has not added another since
        }
        const uint64_t savedBytes =
            state_.committedUndeletedMarker ? state_.committedMarkerBytes : uint64_t{0};
        return loggedContactsIn(identity, markers_.readTail(state_.markerPath, kMarkerReadLimit),
                                savedBytes, unchanged);
    }
    state_.committedUndeletedMarker.reset();
    state_.markerTailUnfinished = false;
    return std::nullopt;
}

void PollCycle::CommitLoggedQso(const LoggedContacts& logged) {
    for (std::size_t i = 0; i < logged.saves.size(); ++i) {
        if (i > 0 && logged.saves[i]) {
            FieldTexts texts;
            takeRecordTexts(*logged.saves[i], texts.data());
            SendChangedFields(texts);
        }
        view_.noteContactCommitted(
            MarkerEntry{"log.adif", logged.marker.size, logged.marker.lastWriteTime});
        for (const char* macro : kCommitMacros) {
            host_.RunMacro(macro);
        }
    }
    RememberMarker(logged);
    if (!logged.saves.empty()) {
        // Outcome ignored: fldigi's fields are only a convenience for the next contact.
        fldigi_.openSession()->call("log.clear");
    }
}

bool PollCycle::MarkerUnchangedSince(const LoggedContacts& logged) {
    for (const MarkerEntry& entry : markers_.find(state_.markerPath)) {
        if (entry.name.find("log.adif") != std::string::npos) {
            return MarkerIdentity{entry.size, entry.lastWriteTime} == logged.marker;
        }
    }
    return false;
}

void PollCycle::RememberMarker(const LoggedContacts& logged) {
    // A contact fldigi logged while these were saved is in the file too: deleting it now would
    // lose that contact, so the file stays and the next tick saves what was added.
    if (!logged.keepFile && MarkerUnchangedSince(logged) && markers_.remove(state_.markerPath)) {
        state_.committedUndeletedMarker.reset();
        state_.markerTailUnfinished = false;
        return;
    }
    state_.committedUndeletedMarker = logged.marker;
    state_.committedMarkerBytes = logged.savedBytes;
    state_.markerTailUnfinished = logged.keepFile;
}

}  // namespace pollcycle
