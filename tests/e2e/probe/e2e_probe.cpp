// e2e_probe: reads Varnock's main window and the message boxes of the bridge from outside
// their processes, and answers them, for the end-to-end tests. Output is UTF-8 JSON, one
// object per line.
//
//   e2e_probe state             the main dialog: caption, indicators, link mark, status
//                               line, whether it is the foreground window
//   e2e_probe states            the same for every main dialog (one line each)
//   e2e_probe boxes             every other visible dialog window: title, texts, buttons
//   e2e_probe press HWND ID     posts WM_COMMAND ID (BN_CLICKED) to that dialog
//   e2e_probe hold FILE SHARE   opens FILE (creating it) as another program does that holds
//                               it: SHARE "none" lets no one else open it, "no-delete" lets
//                               others read and write it but not rename or delete it; prints
//                               "held" and keeps it open until its standard input ends
//
// Exit code 0, or 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/support/window_probe.h"
#include "tools/kebrin-sim/json_text.h"

namespace {

constexpr int kFldigiIndicator = 1003;
constexpr int kHostIndicator = 1004;
constexpr int kLinkMark = 1005;
constexpr int kStatusLine = 1006;

std::string rectJson(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    char text[96];
    std::snprintf(text, sizeof text, "[%ld,%ld,%ld,%ld]", rect.left, rect.top, rect.right,
                  rect.bottom);
    return text;
}

// An EnumWindows callback: a plain function, since the callback convention is stdcall on
// 32-bit Windows, which a lambda's function pointer is not.
BOOL CALLBACK collectVisibleDialog(HWND window, LPARAM list) {
    if (::IsWindowVisible(window) && probe::ClassOf(window) == probe::kDialogClass) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> visibleDialogs() {
    std::vector<HWND> dialogs;
    ::EnumWindows(collectVisibleDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

bool isMainDialog(HWND window) {
    return probe::TextOf(window).rfind(probe::kMainCaption, 0) == 0;
}

std::string controlJson(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    if (control == nullptr) {
        return "null";
    }
    const LRESULT check = ::SendMessageW(control, BM_GETCHECK, 0, 0);
    return "{\"text\":" + JsonString(probe::TextOf(control)) +
           ",\"checked\":" + std::to_string(check) +
           ",\"visible\":" + (::IsWindowVisible(control) ? "true" : "false") +
           ",\"enabled\":" + (::IsWindowEnabled(control) ? "true" : "false") +
           ",\"rect\":" + rectJson(control) + "}";
}

std::string processIdOf(HWND window) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    return std::to_string(pid);
}

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void printMainDialog(HWND dialog) {
    printLine("{\"found\":true,\"hwnd\":" + std::to_string(reinterpret_cast<uintptr_t>(dialog)) +
              ",\"pid\":" + processIdOf(dialog) + ",\"caption\":" +
              JsonString(probe::TextOf(dialog)) + ",\"rect\":" + rectJson(dialog) +
              ",\"foreground\":" + (::GetForegroundWindow() == dialog ? "true" : "false") +
              ",\"fldigi\":" + controlJson(dialog, kFldigiIndicator) + ",\"host\":" +
              controlJson(dialog, kHostIndicator) + ",\"link\":" + controlJson(dialog, kLinkMark) +
              ",\"status\":" + controlJson(dialog, kStatusLine) + "}");
}

int printState(bool all) {
    bool found = false;
    for (HWND dialog : visibleDialogs()) {
        if (isMainDialog(dialog)) {
            printMainDialog(dialog);
            found = true;
            if (!all) {
                return 0;
            }
        }
    }
    if (!found && !all) {
        printLine("{\"found\":false}");
    }
    return 0;
}

int printBoxes() {
    for (HWND dialog : visibleDialogs()) {
        if (isMainDialog(dialog)) {
            continue;
        }
        std::string texts;
        std::string buttons;
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            const std::wstring kind = probe::ClassOf(child);
            std::string& list = _wcsicmp(kind.c_str(), L"Button") == 0 ? buttons : texts;
            if (_wcsicmp(kind.c_str(), L"Button") == 0) {
                if (!::IsWindowVisible(child)) {
                    continue;
                }
                list += std::string(list.empty() ? "" : ",") + "[" +
                        std::to_string(::GetDlgCtrlID(child)) + "," +
                        JsonString(probe::TextOf(child)) + "]";
            } else {
                list += std::string(list.empty() ? "" : ",") + JsonString(probe::TextOf(child));
            }
        }
        printLine("{\"hwnd\":" + std::to_string(reinterpret_cast<uintptr_t>(dialog)) + ",\"pid\":" +
                  processIdOf(dialog) + ",\"title\":" + JsonString(probe::TextOf(dialog)) +
                  ",\"rect\":" + rectJson(dialog) + ",\"texts\":[" + texts + "],\"buttons\":[" +
                  buttons + "]}");
    }
    return 0;
}

int press(const wchar_t* windowText, const wchar_t* idText) {
    HWND dialog =
        reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(windowText, nullptr, 10)));
    const int id = static_cast<int>(std::wcstol(idText, nullptr, 10));
    if (!::IsWindow(dialog)) {
        std::fputs("e2e_probe: no such window\n", stderr);
        return 1;
    }
    HWND button = ::GetDlgItem(dialog, id);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
    return 0;
}

int hold(const wchar_t* path, const wchar_t* share) {
    const bool none = std::wcscmp(share, L"none") == 0;
    if (!none && std::wcscmp(share, L"no-delete") != 0) {
        return 2;
    }
    const HANDLE file = ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE,
                                      none ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::printf("not held: error %lu\n", ::GetLastError());
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    char rest[64];
    while (std::fgets(rest, sizeof rest, stdin) != nullptr) {
    }
    ::CloseHandle(file);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wcscmp(argv[1], L"state") == 0) {
        return printState(false);
    }
    if (argc == 2 && std::wcscmp(argv[1], L"states") == 0) {
        return printState(true);
    }
    if (argc == 2 && std::wcscmp(argv[1], L"boxes") == 0) {
        return printBoxes();
    }
    if (argc == 4 && std::wcscmp(argv[1], L"press") == 0) {
        return press(argv[2], argv[3]);
    }
    if (argc == 4 && std::wcscmp(argv[1], L"hold") == 0) {
        return hold(argv[2], argv[3]);
    }
    std::fputs("usage: e2e_probe state | states | boxes | press HWND ID | hold FILE SHARE\n",
               stderr);
    return 2;
}
