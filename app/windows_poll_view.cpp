#include "app/windows_poll_view.h"

#include <windows.h>

#include "app/res/resource.h"
#include "app/varnock_dlg.h"
#include "controls/advanced_button.h"
#include "framework/handler_boundary.h"
#include "framework/text_conversion.h"

using pollcycle::Indicator;
using pollcycle::MessageAnswer;

CAdvancedButton& DialogPollView::indicatorOf(Indicator indicator) {
    return indicator == Indicator::Fldigi ? dialog_.m_fldigiIndicator : dialog_.m_hostIndicator;
}

void DialogPollView::killTimer(unsigned timerId) {
    dialog_.KillTimer(timerId);
}

void DialogPollView::setTimer(unsigned timerId, unsigned periodMs) {
    dialog_.SetTimer(timerId, periodMs);
}

void DialogPollView::setIndicatorText(Indicator indicator, const std::string& text) {
    const int controlId =
        indicator == Indicator::Fldigi ? IDC_FLDIGI_INDICATOR : IDC_HOST_INDICATOR;
    ::SetDlgItemTextW(dialog_.m_hWnd, controlId, WidenUtf8(text).c_str());
}

void DialogPollView::setIndicatorFaceColor(Indicator indicator, uint32_t color) {
    indicatorOf(indicator).SetFaceColor(static_cast<COLORREF>(color));
}

void DialogPollView::setIndicatorCaptionColor(Indicator indicator, uint32_t color) {
    indicatorOf(indicator).SetCaptionColor(static_cast<COLORREF>(color));
}

void DialogPollView::setCheckedFlag(Indicator indicator, bool checked) {
    (indicator == Indicator::Fldigi ? dialog_.m_fldigiChecked : dialog_.m_hostChecked) =
        checked ? 1 : 0;
}

void DialogPollView::moveFlagsIntoControls() {
    dialog_.UpdateData(false);
}

void DialogPollView::setCaption(const std::string& text) {
    ::SetWindowTextW(dialog_.m_hWnd, WidenUtf8(text).c_str());
}

void DialogPollView::showLinkMark() {
    if (CWnd* linkMark = dialog_.GetDlgItem(IDC_LINK_MARK)) {
        linkMark->EnableWindow(true);
        linkMark->ShowWindow(SW_SHOW);
    }
}

void DialogPollView::hideLinkMark() {
    if (CWnd* linkMark = dialog_.GetDlgItem(IDC_LINK_MARK)) {
        linkMark->ShowWindow(SW_HIDE);
        linkMark->EnableWindow(false);
    }
}

void DialogPollView::showHostError(const std::string& text) {
    ShowErrorBox(dialog_.m_hWnd, WidenText(text));
}

MessageAnswer DialogPollView::askOkCancel(const std::string& text) {
    // No owner window and the system's default caption.
    return ::MessageBoxW(nullptr, WidenUtf8(text).c_str(), nullptr, MB_OKCANCEL) == IDOK
               ? MessageAnswer::Ok
               : MessageAnswer::Cancel;
}

void DialogPollView::exitProcess(unsigned exitCode) {
    ::ExitProcess(exitCode);
}

void DialogPollView::showStatus(const pollcycle::StatusText& status) {
    dialog_.m_statusLine.Show(status);
}
