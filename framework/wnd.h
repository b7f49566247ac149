// CWnd: a window seen from C++. An object either subclasses its window (it then receives the
// window's messages through its message table) or only borrows the handle (the controls that
// GetDlgItem hands out). Subclassing ends when the window is destroyed or the object goes away,
// whichever comes first.
#pragma once

#include "framework/cmd_target.h"
#include "framework/menu.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>

class CWnd : public CCmdTarget {
  public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }

    // The object that subclassed the window, or nullptr.
    static CWnd* FromHandlePermanent(HWND window);

    // Subclassing. PreSubclassWindow runs once the object holds the handle and before the
    // first message reaches the object.
    bool SubclassDlgItem(UINT id, CWnd* parent);
    bool SubclassWindow(HWND window);
    HWND UnsubclassWindow();
    virtual void PreSubclassWindow() {}

    // Message processing. WindowProc runs the message table's handler, reflects WM_DRAWITEM to
    // the subclassed child that asked for it, routes unhandled commands (SetCommandRoute), and
    // otherwise does the default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled (the window's original procedure).
    LRESULT Default();
    // A notification the parent reflects back to its child (WM_DRAWITEM); true when handled.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Where WM_COMMAND messages that the table doesn't handle go (the application object).
    void SetCommandRoute(CCmdTarget* target) { m_commandRoute = target; }

    // Children: the subclassing object when there is one, else a borrowed wrapper that lives
    // as long as this window. nullptr when there is no such control.
    CWnd* GetDlgItem(int id);

    // Texts. The `char` forms take the system's ANSI code page.
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    int GetWindowText(wchar_t* buffer, int capacity) const {
        return ::GetWindowTextW(m_hWnd, buffer, capacity);
    }
    std::wstring GetWindowText() const;

    // State and style.
    bool ShowWindow(int command) { return ::ShowWindow(m_hWnd, command) != FALSE; }
    bool EnableWindow(bool enable = true) { return ::EnableWindow(m_hWnd, enable) != FALSE; }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool IsIconic() const { return ::IsIconic(m_hWnd) != FALSE; }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    // Clears `remove` and sets `add` in the window style; with `flags`, also SetWindowPos with
    // them (and no move, size or z-order change). False when the style was already so.
    bool ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);

    // Painting.
    bool RedrawWindow(const RECT* rect = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
        return ::RedrawWindow(m_hWnd, rect, region, flags) != FALSE;
    }
    RECT GetClientRect() const;
    HICON SetIcon(HICON icon, bool big) {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }

    // System menu, timers, messages.
    CMenu GetSystemMenu(bool revert) const { return CMenu(::GetSystemMenu(m_hWnd, revert)); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs) {
        return ::SetTimer(m_hWnd, id, elapseMs, nullptr);
    }
    bool KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != FALSE; }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, message, wParam, lParam) != FALSE;
    }

    static const CRuntimeClass classCWnd;
    const CRuntimeClass* GetRuntimeClass() const override { return &classCWnd; }
    static const MessageMap* GetThisMessageMap();
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  protected:
    // Runs WindowProc with the message recorded for Default().
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);

    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    Message m_current{};
    bool m_inMessage = false;
    WNDPROC m_superProc = nullptr;
    CCmdTarget* m_commandRoute = nullptr;
    std::map<HWND, std::unique_ptr<CWnd>> m_borrowedChildren;
};
