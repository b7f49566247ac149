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
#include "app/poll/poll_ports.h"
#include "app/poll/poll_state.h"
#include "app/poll/poll_view.h"

namespace pollcycle {

inline constexpr unsigned kPollTimerId = 1500;
inline constexpr unsigned kPollPeriodMs = 1000;

inline constexpr uint32_t kWorkingFaceColor = 0x0000FF00;     // green
inline constexpr uint32_t kWorkingCaptionColor = 0x00010101;  // red 1, green 1, blue 1

// The indicators' "not load" look, as the dialog starts: a magenta face, a yellow caption.
inline constexpr uint32_t kNotLoadedFaceColor = 0x00FF00FF;
inline constexpr uint32_t kNotLoadedCaptionColor = 0x0000FFFF;
inline constexpr const char* kFldigiNotLoadedText = "Fldigi not load !";
inline constexpr const char* kHostNotLoadedText = "Kebrin not load !";

inline constexpr const char* kConnectedCaption = VARNOCK_MAIN_CAPTION " ---> Connected";
inline constexpr const char* kFldigiNotLoadedMessage = "FLDIGI not loaded!";

// The contacts come from the contact ledger, which owns fldigi's marker file.
// Its steps are named as the window framework names a handler's work (OnTimer, AttachHost,
// GetFldigiString, CommitLoggedQso), and so are the helpers between them.
class PollCycle {
  public:
    PollCycle(PollState& state, const PollPorts& ports);

    // One tick. The timer is stopped first and re-armed on the way out. A failed host call ends
    // the tick: its error box is shown within it, the host counts as gone and is attached again
    // on a later tick. Only the process exit (or an error that is not the host's) leaves the
    // timer stopped.
    void OnTimer();

  private:
    using FieldTexts = std::array<std::optional<std::string>, kFieldCount>;

    enum class Send { Changed, All };

    void RunTick();
    bool AttachHost();
    bool ConnectFldigi();
    // The indicator's look: working (green, checked) or its start look (magenta, unchecked).
    void ShowLook(Indicator indicator, const char* text, bool working);
    void ShowWorking(Indicator indicator, const char* text);
    // The indicator's start look; the link mark and the caption go back to theirs.
    void ShowNotLoaded(Indicator indicator, const char* text);
    void LoseFldigi(const std::string& error);
    void LoseHost(const std::string& error);
    // The text of a string result, an empty text for other results; no value when the call
    // failed and the user chose to go on (the field is then left alone for this tick).
    std::optional<std::string> GetFldigiString(const char* method);
    FieldTexts ReadFields();
    // Each field with a text, in the send order: all of them, or those that differ from what
    // was last sent.
    void SendFields(const FieldTexts& texts, Send which);
    void SendField(const FieldSpec& field, const std::string& text);
    void MapModemToMacro(const std::string& modem);
    // The texts that make the host's form the record's: its own fields (frequency and mode
    // among them) over `base`. `reads` are fldigi's texts of this tick.
    FieldTexts ContactTexts(const AdifRecord& record, const FieldTexts& reads,
                            FieldTexts base) const;
    // Saves each contact in turn; the ledger hears of each save the host took. The first one
    // goes out as changes to this tick's reads, every further one with all its fields.
    void CommitLoggedQso(ContactLedger& ledger, const std::vector<PendingContact>& contacts,
                         const FieldTexts& reads);
    // "log.clear", when fldigi's entry (as read this tick) is still the contact `savedCall`.
    void ClearSavedEntry(const FieldTexts& reads, const std::string& savedCall);

    PollState& state_;
    FldigiPort& fldigi_;
    HostPort& host_;
    MarkerFilesPort& markers_;
    PollView& view_;
    BridgeEvents& events_;
};

}  // namespace pollcycle
