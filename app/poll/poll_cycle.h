// The bridge's once-a-second work: connect to both programs, copy changed contact fields from
// fldigi to the host, and save each contact the operator logs in fldigi.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/poll/bridge_events.h"
#include "app/poll/contact_ledger.h"
#include "app/poll/field_table.h"
#include "app/poll/fldigi_port.h"
#include "app/poll/host_port.h"
#include "app/poll/main_caption.h"
#include "app/poll/marker_files_port.h"
#include "app/poll/poll_state.h"
#include "app/poll/poll_view.h"

namespace pollcycle {

inline constexpr unsigned kPollTimerId = 1500;
inline constexpr unsigned kPollPeriodMs = 1000;

inline constexpr uint32_t kWorkingFaceColor = 0x0000FF00;     // green
inline constexpr uint32_t kWorkingCaptionColor = 0x00010101;  // red 1, green 1, blue 1

inline constexpr const char* kConnectedCaption = VARNOCK_MAIN_CAPTION " ---> Connected";
// Added to the caption once records were set aside instead of saved.
inline constexpr const char* kSetAsideNotice = " | Not saved: see unsaved-contacts.adi";
inline constexpr const char* kFldigiNotLoadedMessage = "FLDIGI not loaded!";

// The contacts come from the contact ledger, which owns fldigi's marker file.
// Its steps are named as the window framework names a handler's work (OnTimer, AttachHost,
// GetFldigiString, CommitLoggedQso), and so are the helpers between them.
class PollCycle {
  public:
    PollCycle(PollState& state, FldigiPort& fldigi, HostPort& host, MarkerFilesPort& markers,
              PollView& view, BridgeEvents& events);

    // One tick. The timer is stopped first and re-armed on the way out; an exception from the
    // host (or the process exit) leaves it stopped.
    void OnTimer();

  private:
    using FieldTexts = std::array<std::optional<std::string>, kFieldCount>;

    void RunTick();
    bool AttachHost();
    bool ConnectFldigi();
    void ShowWorking(Indicator indicator, const char* text);
    // The text of a string result, an empty text for other results; no value when the call
    // failed and the user chose to go on (the field is then left alone for this tick).
    std::optional<std::string> GetFldigiString(const char* method);
    FieldTexts ReadFields();
    void SendChangedFields(const FieldTexts& texts);
    void SendField(const FieldSpec& field, const std::string& text);
    void MapModemToMacro(const std::string& modem);
    // The record's own fields (its frequency among them) replace the texts to send.
    void TakeRecordTexts(const AdifRecord& record, FieldTexts& texts) const;
    // Saves each contact in turn; the ledger hears of each save the host took.
    void CommitLoggedQso(ContactLedger& ledger, const std::vector<PendingContact>& contacts);

    PollState& state_;
    FldigiPort& fldigi_;
    HostPort& host_;
    MarkerFilesPort& markers_;
    PollView& view_;
    BridgeEvents& events_;
};

}  // namespace pollcycle
