// The poll cycle's view of the main dialog and the process.
#pragma once

#include <cstdint>
#include <string>

namespace pollcycle {

enum class Indicator {
    Fldigi,  // m_fldigiIndicator, control 1003, flag m_fldigiChecked
    Host,    // m_hostIndicator, control 1004, flag m_hostChecked
};

enum class MessageAnswer { Ok, Cancel };

class PollView {
  public:
    virtual ~PollView() = default;
    virtual void killTimer(unsigned timerId) = 0;
    virtual void setTimer(unsigned timerId, unsigned periodMs) = 0;
    // The indicator control's window text.
    virtual void setIndicatorText(Indicator indicator, const std::string& text) = 0;
    // COLORREF values, 0x00BBGGRR.
    virtual void setIndicatorFaceColor(Indicator indicator, uint32_t color) = 0;
    virtual void setIndicatorCaptionColor(Indicator indicator, uint32_t color) = 0;
    // The indicator's bound flag; moveFlagsIntoControls() then moves both flags into the
    // controls' check states.
    virtual void setCheckedFlag(Indicator indicator, bool checked) = 0;
    virtual void moveFlagsIntoControls() = 0;
    virtual void setCaption(const std::string& text) = 0;
    // Enables and shows control 1005, the link mark between the indicators.
    virtual void showLinkMark() = 0;
    // Hides and disables it again, as the dialog starts: one side is down.
    virtual void hideLinkMark() = 0;
    // A message box without owner, with the system's default caption and the buttons OK and
    // Cancel; returns the user's answer.
    virtual MessageAnswer askOkCancel(const std::string& text) = 0;
    // The error box of a failed host call, as the window framework shows an error that leaves a
    // handler (owned by the main window, the program's name as caption, OK only); returns once
    // the user closed it. `text` is the error's text, in UTF-8.
    virtual void showHostError(const std::string& text) = 0;
    // Ends the process at once with the given exit code; never returns.
    [[noreturn]] virtual void exitProcess(unsigned exitCode) = 0;
};

}  // namespace pollcycle
