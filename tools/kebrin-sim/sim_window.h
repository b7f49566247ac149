// kebrin-sim's main window: the current contact, frequency, mode and the saved contacts, a
// "Host" menu (fail calls on/off, quit), and the optional control file, polled ten times a
// second: its content "fail", "ok" or "quit" switches calls off, on, or ends the program.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gdi_object.h"
#include "tools/kebrin-sim/host_state.h"
#include "tools/kebrin-sim/kebrin_calls.h"

class SimWindow {
  public:
    SimWindow(const HostState& state, KebrinCalls& calls) : m_state(state), m_calls(calls) {}
    SimWindow(const SimWindow&) = delete;
    SimWindow& operator=(const SimWindow&) = delete;
    ~SimWindow();

    bool Create(HINSTANCE instance);
    void WatchControlFile(const std::wstring& path);
    // Shows the state anew (after every call).
    void Refresh();
    // Ends the message loop (through WM_CLOSE).
    void Close();
    HWND Handle() const { return m_window; }

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id);
    void PollControlFile();
    void ApplyFailCalls(bool fail);

    const HostState& m_state;
    KebrinCalls& m_calls;
    HWND m_window = nullptr;
    HWND m_text = nullptr;
    HMENU m_menu = nullptr;
    CGdiObjectT<HFONT> m_font;
    std::wstring m_controlPath;
    std::string m_lastControl;
};
