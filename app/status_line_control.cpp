#include "app/status_line_control.h"

#include "base/kernel_handle.h"
#include "framework/select_guard.h"
#include "framework/text_conversion.h"

namespace {

constexpr COLORREF kNeedsOperatorColor = RGB(192, 0, 0);
constexpr COLORREF kPlainColor = RGB(0, 0, 0);

// The control's screen DC, given back when it goes.
class ScreenDc {
  public:
    explicit ScreenDc(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~ScreenDc() { ::ReleaseDC(m_window, m_dc); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return m_dc; }

  private:
    HWND m_window;
    HDC m_dc;
};

// Measures texts in the control's font.
class TextMeasure {
  public:
    explicit TextMeasure(HWND control)
        : m_dc(control),
          m_font(m_dc.Get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0))) {
    }

    int operator()(const std::string& utf8) const {
        const std::wstring text = WidenUtf8(utf8);
        SIZE size{};
        ::GetTextExtentPoint32W(m_dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

  private:
    ScreenDc m_dc;
    CSelectGuard m_font;
};

}  // namespace

void StatusLineControl::Attach(HWND dialog, int id) {
    m_control = ::GetDlgItem(dialog, id);
    if (m_control != nullptr) {
        m_toolTip.Create(dialog, m_control);
    }
}

std::wstring StatusLineControl::FittedText(const pollcycle::StatusText& status) const {
    RECT client{};
    ::GetClientRect(m_control, &client);
    const TextMeasure measure(m_control);
    const int room = client.right - client.left - measure(status.before + status.after);
    return WidenUtf8(
        status.before +
        pollcycle::fitInMiddle(status.path, room,
                               [&measure](const std::string& t) { return measure(t); }) +
        status.after);
}

void StatusLineControl::Show(const pollcycle::StatusText& status) {
    if (m_control == nullptr || status == m_shown) {
        return;
    }
    m_shown = status;
    ::SetWindowTextW(m_control, FittedText(status).c_str());
    m_toolTip.SetText(WidenUtf8(status.whole()));
    // The colour is asked for when the control paints.
    ::InvalidateRect(m_control, nullptr, TRUE);
}

COLORREF StatusLineControl::TextColor() const {
    return m_shown.needsOperator ? kNeedsOperatorColor : kPlainColor;
}

void StatusLineControl::OpenInExplorer() const {
    if (!m_shown.selectsPath || m_shown.path.empty()) {
        return;
    }
    std::wstring commandLine = L"explorer.exe /select,\"" + WidenUtf8(m_shown.path) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &started)) {
        const KernelHandle process(started.hProcess);
        const KernelHandle thread(started.hThread);
    }
}
