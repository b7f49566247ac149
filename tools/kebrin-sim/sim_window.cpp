#include "tools/kebrin-sim/sim_window.h"

#include <cstdio>

#include "base/c_file.h"
#include "tools/kebrin-sim/sim_commands.h"

namespace {

constexpr UINT_PTR kControlTimer = 1;
constexpr UINT kControlPollMs = 100;
constexpr wchar_t kCaption[] = L"Kebrin2 stand-in (kebrin-sim)";

std::string trimmed(std::string text) {
    const char* space = " \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

// The control file's content (at most a line), or nothing when it can't be read.
std::string readControl(const std::wstring& path) {
    const CFile file(::_wfopen(path.c_str(), L"rb"));
    if (!file) {
        return std::string();
    }
    char buffer[64];
    const size_t size = std::fread(buffer, 1, sizeof buffer, file.get());
    return trimmed(std::string(buffer, size));
}

}  // namespace

SimWindow::~SimWindow() {
    if (m_window != nullptr) {
        ::DestroyWindow(m_window);
    }
}

bool SimWindow::Create(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &SimWindow::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kSimWindowClass;
    if (::RegisterClassExW(&windowClass) == 0) {
        return false;
    }
    m_menu = ::CreateMenu();
    HMENU host = ::CreatePopupMenu();
    ::AppendMenuW(host, MF_STRING, kCommandToggleFailCalls, L"&Fail calls");
    ::AppendMenuW(host, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(host, MF_STRING, kCommandQuit, L"&Quit");
    ::AppendMenuW(m_menu, MF_POPUP, reinterpret_cast<UINT_PTR>(host), L"&Host");
    // To the right of where Varnock's dialog opens, so that both can be watched side by side.
    constexpr int kLeft = 360;
    constexpr int kTop = 0;
    m_window = ::CreateWindowExW(0, kSimWindowClass, kCaption, WS_OVERLAPPEDWINDOW, kLeft, kTop,
                                 560, 420, nullptr, m_menu, instance, this);
    if (m_window == nullptr) {
        ::DestroyMenu(m_menu);
        return false;
    }
    m_text = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 0,
        0, m_window, nullptr, instance, nullptr);
    m_font.reset(::CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               FIXED_PITCH | FF_MODERN, L"Courier New"));
    if (m_text != nullptr && m_font) {
        ::SendMessageW(m_text, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
    }
    RECT client{};
    ::GetClientRect(m_window, &client);
    ::MoveWindow(m_text, 0, 0, client.right, client.bottom, FALSE);
    Refresh();
    ::ShowWindow(m_window, SW_SHOWNOACTIVATE);
    return true;
}

void SimWindow::WatchControlFile(const std::wstring& path) {
    m_controlPath = path;
    m_lastControl = readControl(path);  // only changes after the start count
    ::SetTimer(m_window, kControlTimer, kControlPollMs, nullptr);
}

void SimWindow::Refresh() {
    if (m_text == nullptr) {
        return;
    }
    std::wstring text = L"Calls: " + std::to_wstring(m_calls.CallCount()) +
                        (m_calls.FailCalls() ? L"   (failing all calls)" : L"") +
                        (m_calls.Busy() ? L"   (busy: calls are to be retried later)" : L"") +
                        L"\r\n";
    text += m_state.Describe();
    ::SetWindowTextW(m_text, text.c_str());
    ::CheckMenuItem(m_menu, kCommandToggleFailCalls,
                    MF_BYCOMMAND | (m_calls.FailCalls() ? MF_CHECKED : MF_UNCHECKED));
}

void SimWindow::Close() {
    if (m_window != nullptr) {
        ::PostMessageW(m_window, WM_CLOSE, 0, 0);
    }
}

LRESULT CALLBACK SimWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* created = static_cast<SimWindow*>(create->lpCreateParams);
        created->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<SimWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT SimWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (m_text != nullptr) {
                ::MoveWindow(m_text, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            }
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case WM_TIMER:
            if (wParam == kControlTimer) {
                PollControlFile();
            }
            return 0;
        case WM_DESTROY:
            ::KillTimer(m_window, kControlTimer);
            ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
            m_window = nullptr;
            m_text = nullptr;
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(m_window, message, wParam, lParam);
    }
}

void SimWindow::OnCommand(int id) {
    switch (id) {
        case kCommandToggleFailCalls:
            ApplyFailCalls(!m_calls.FailCalls());
            break;
        case kCommandFailCallsOn:
            ApplyFailCalls(true);
            break;
        case kCommandFailCallsOff:
            ApplyFailCalls(false);
            break;
        case kCommandQuit:
            Close();
            break;
        default:
            break;
    }
}

void SimWindow::ApplyFailCalls(bool fail) {
    m_calls.SetFailCalls(fail);
    Refresh();
}

void SimWindow::PollControlFile() {
    const std::string command = readControl(m_controlPath);
    if (command == m_lastControl) {
        return;
    }
    m_lastControl = command;
    if (command == "fail") {
        ApplyFailCalls(true);
    } else if (command == "busy") {
        m_calls.SetBusy(true);
        Refresh();
    } else if (command == "ok") {
        m_calls.SetBusy(false);
        ApplyFailCalls(false);
    } else if (command == "quit") {
        Close();
    }
}
