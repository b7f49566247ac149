// indicator_probe: finds a running Varnock.exe's main dialog and prints, for each status
// indicator, one line: "ID LEFT TOP RIGHT BOTTOM STYLE TEXT" (screen coordinates, style in
// hex, the window text in UTF-8). Exit code 0 when both were found, 1 otherwise.
// "indicator_probe close" presses "Finish" and waits until the dialog is gone;
// "indicator_probe dialog" prints "dialog LEFT TOP RIGHT BOTTOM" of the dialog's window and
// "finish LEFT TOP RIGHT BOTTOM" of its "Finish" button.
#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/text_conversion.h"
#include "tests/support/window_probe.h"

namespace {

int Close(HWND dialog) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    for (int i = 0; i < 200 && ::IsWindow(dialog); ++i) {
        ::Sleep(50);
    }
    return ::IsWindow(dialog) ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    HWND dialog = probe::WaitForDialog(probe::kMainCaption, 15000);
    if (dialog == nullptr) {
        std::fprintf(stderr, "indicator_probe: no main dialog\n");
        return 1;
    }
    if (argc > 1 && std::wstring(argv[1]) == L"close") {
        return Close(dialog);
    }
    if (argc > 1 && std::wstring(argv[1]) == L"dialog") {
        RECT rect{};
        ::GetWindowRect(dialog, &rect);
        std::printf("dialog %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        ::GetWindowRect(::GetDlgItem(dialog, IDOK), &rect);
        std::printf("finish %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        std::fflush(stdout);
        return 0;
    }
    int found = 0;
    for (int id : {1003, 1004}) {
        HWND control = ::GetDlgItem(dialog, id);
        if (control == nullptr) {
            std::fprintf(stderr, "indicator_probe: no control %d\n", id);
            continue;
        }
        RECT rect{};
        ::GetWindowRect(control, &rect);
        const std::wstring text = probe::TextOf(control);
        const auto style = static_cast<unsigned long>(::GetWindowLongPtrW(control, GWL_STYLE));
        std::printf("%d %ld %ld %ld %ld %lx %s\n", id, rect.left, rect.top, rect.right, rect.bottom,
                    style, ToUtf8(text).c_str());
        ++found;
    }
    std::fflush(stdout);
    return found == 2 ? 0 : 1;
}
