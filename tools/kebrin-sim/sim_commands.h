// What other programs (tests, scripts) may send to kebrin-sim's main window.
// Find it by class name (and the process id), then PostMessage(WM_COMMAND, id, 0); WM_CLOSE
// makes it quit as well.
#pragma once

inline constexpr wchar_t kSimWindowClass[] = L"KebrinSimWindow";

inline constexpr int kCommandToggleFailCalls = 40001;
inline constexpr int kCommandQuit = 40002;
inline constexpr int kCommandFailCallsOn = 40003;
inline constexpr int kCommandFailCallsOff = 40004;
