// The poll cycle's view over the main dialog: the two indicators with their bound flags, the
// caption, the link mark (control 1005), the poll timer, the "FLDIGI not loaded!" box and the
// process exit; and the status line (control 1006) the bridge shows after each tick.
#pragma once

#include "app/poll/poll_view.h"
#include "app/poll/status_line.h"

class CVarnockDlg;
class CAdvancedButton;

class DialogPollView : public pollcycle::PollView, public pollcycle::StatusView {
  public:
    explicit DialogPollView(CVarnockDlg& dialog) : dialog_(dialog) {}

    void killTimer(unsigned timerId) override;
    void setTimer(unsigned timerId, unsigned periodMs) override;
    void setIndicatorText(pollcycle::Indicator indicator, const std::string& text) override;
    void setIndicatorFaceColor(pollcycle::Indicator indicator, uint32_t color) override;
    void setIndicatorCaptionColor(pollcycle::Indicator indicator, uint32_t color) override;
    void setCheckedFlag(pollcycle::Indicator indicator, bool checked) override;
    void moveFlagsIntoControls() override;
    void setCaption(const std::string& text) override;
    void showLinkMark() override;
    void hideLinkMark() override;
    void showHostError(const std::string& text) override;
    pollcycle::MessageAnswer askOkCancel(const std::string& text) override;
    [[noreturn]] void exitProcess(unsigned exitCode) override;
    void showStatus(const pollcycle::StatusText& status) override;

  private:
    CAdvancedButton& indicatorOf(pollcycle::Indicator indicator);

    CVarnockDlg& dialog_;
};
