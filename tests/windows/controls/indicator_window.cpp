#include "indicator_window.h"

#include <stdexcept>

namespace {

constexpr wchar_t kClassName[] = L"VarnockIndicatorTest";

// The shared top-level window; it tells the current IndicatorWindow about clicks.
class TestParent : public CWnd {
  public:
    IndicatorWindow* current = nullptr;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND && LOWORD(wParam) == IndicatorWindow::kControlId &&
            HIWORD(wParam) == BN_CLICKED && current != nullptr) {
            ++current->clicks;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TestParent& SharedParent() {
    static TestParent* parent = [] {
        WNDCLASSW cls{};
        cls.lpfnWndProc = ::DefWindowProcW;
        cls.hInstance = ::GetModuleHandleW(nullptr);
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        cls.lpszClassName = kClassName;
        cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        ::RegisterClassW(&cls);
        HWND window = ::CreateWindowExW(WS_EX_TOPMOST, kClassName, L"indicator test",
                                        WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40,
                                        IndicatorWindow::kWidth + 40, IndicatorWindow::kHeight + 40,
                                        nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        auto* object = new TestParent;  // lives as long as the process
        if (window == nullptr || !object->SubclassWindow(window)) {
            throw std::runtime_error("cannot create the test window");
        }
        ::UpdateWindow(window);
        return object;
    }();
    return *parent;
}

}  // namespace

IndicatorWindow::IndicatorWindow(const wchar_t* text, DWORD buttonStyle) {
    TestParent& parent = SharedParent();
    m_control = ::CreateWindowExW(
        0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | buttonStyle, 20, 20, kWidth,
        kHeight, parent.m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)),
        ::GetModuleHandleW(nullptr), nullptr);
    if (m_control == nullptr) {
        throw std::runtime_error("cannot create the test control");
    }
    parent.current = this;
    Pump();
}

IndicatorWindow::~IndicatorWindow() {
    ::DestroyWindow(m_control);
    SharedParent().current = nullptr;
    Pump();
}

CWnd& IndicatorWindow::parent() {
    return SharedParent();
}

void IndicatorWindow::Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

COLORREF IndicatorWindow::WindowPixel(int x, int y) const {
    HDC dc = ::GetDC(m_control);
    const COLORREF color = ::GetPixel(dc, x, y);
    ::ReleaseDC(m_control, dc);
    return color;
}

COLORREF IndicatorWindow::ScreenPixel(int x, int y) const {
    POINT at{x, y};
    ::ClientToScreen(m_control, &at);
    HDC screen = ::GetDC(nullptr);
    const COLORREF color = ::GetPixel(screen, at.x, at.y);
    ::ReleaseDC(nullptr, screen);
    return color;
}

bool IndicatorWindow::ScreenShows(int x, int y, COLORREF color) const {
    for (int i = 0; i < 100; ++i) {
        if (ScreenPixel(x, y) == color) {
            return true;
        }
        ::Sleep(20);
        Pump();
    }
    return ScreenPixel(x, y) == color;
}
