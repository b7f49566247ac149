// shell_probe: looks at a running Varnock.exe from outside its process and works its window
// the way a user would (system menu command, OK, Finish). One check per command; exit code 0
// when every check of the command passed, 1 otherwise, 2 on usage errors. Failures are
// printed to stderr, one line each.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "framework/text_conversion.h"
#include "tests/support/window_probe.h"

namespace {

using probe::ClassOf;
using probe::kDialogClass;
using probe::kMainCaption;
using probe::TextOf;
using probe::WaitForDialog;

constexpr wchar_t kAboutCaption[] = L"О проекте Varnock";

int failures = 0;

void Check(bool ok, const std::string& what) {
    if (!ok) {
        ++failures;
        std::fprintf(stderr, "FAILED: %s\n", what.c_str());
    }
}

bool WaitGone(HWND window, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (::IsWindow(window)) {
        if (::GetTickCount() - start >= timeoutMs) {
            return false;
        }
        ::Sleep(50);
    }
    return true;
}

HWND MainWindow() {
    HWND main = WaitForDialog(kMainCaption, 15000);
    Check(main != nullptr, "the main dialog \"Fldigi<->Kebrin by Zorvath\" is shown");
    return main;
}

void CheckControl(HWND dialog, int id, const wchar_t* text, bool visible, const char* name) {
    HWND control = ::GetDlgItem(dialog, id);
    const std::string label = std::string(name) + " (id " + std::to_string(id) + ")";
    Check(control != nullptr, label + " exists");
    if (control == nullptr) {
        return;
    }
    if (text != nullptr) {
        const std::wstring actual = TextOf(control);
        Check(actual == text,
              label + " reads \"" + ToUtf8(text) + "\", not \"" + ToUtf8(actual) + "\"");
    }
    Check((::IsWindowVisible(control) != FALSE) == visible,
          label + (visible ? " is visible" : " is hidden"));
}

// The dialog as it is right after start.
int CheckMain() {
    HWND main = MainWindow();
    if (main == nullptr) {
        return 1;
    }
    Check(TextOf(main) == kMainCaption, "caption is \"Fldigi<->Kebrin by Zorvath\"");
    const LONG style = ::GetWindowLongW(main, GWL_STYLE);
    Check((style & WS_SYSMENU) && (style & WS_CAPTION) && !(style & WS_MINIMIZEBOX) &&
              !(style & WS_MAXIMIZEBOX),
          "caption bar and system menu, no minimise or maximise box");
    Check((::GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0, "task bar button");

    CheckControl(main, IDOK, L"Finish", true, "Finish");
    CheckControl(main, IDCANCEL, L"Отмена", false, "Cancel");
    CheckControl(main, 1003, L"Fldigi not load !", true, "fldigi indicator");
    CheckControl(main, 1004, L"Kebrin not load !", true, "Kebrin indicator");
    CheckControl(main, 1005, nullptr, false, "link mark");
    Check(::IsWindowEnabled(::GetDlgItem(main, IDCANCEL)) == FALSE, "Cancel is disabled");
    Check(ClassOf(::GetDlgItem(main, 1005)) == L"msctls_updown32",
          "control 1005 is an up-down control");

    const LRESULT defId = ::SendMessageW(main, DM_GETDEFID, 0, 0);
    Check(HIWORD(defId) == DC_HASDEFID && LOWORD(defId) == IDOK, "Finish is the default button");
    const LONG finishStyle = ::GetWindowLongW(::GetDlgItem(main, IDOK), GWL_STYLE);
    Check((finishStyle & 0x0F) == BS_DEFPUSHBUTTON, "Finish is drawn as the default button");

    // The system menu can't be read from another process under Wine (menus live in their
    // process): shell_framework_tests checks it inside the process.
    return failures == 0 ? 0 : 1;
}

// Chooses the system command `commandId` and expects the About box; closes it with "ОК".
int About(UINT commandId) {
    HWND main = MainWindow();
    if (main == nullptr) {
        return 1;
    }
    const std::string command = "system command " + std::to_string(commandId);
    ::PostMessageW(main, WM_SYSCOMMAND, commandId, 0);
    HWND about = WaitForDialog(kAboutCaption, 5000);
    Check(about != nullptr, command + " opens \"О проекте Varnock\"");
    if (about == nullptr) {
        return 1;
    }
    Check(::GetWindow(about, GW_OWNER) == main, "the About box is owned by the main dialog");
    Check(::IsWindowEnabled(main) == FALSE, "the About box is modal");
    CheckControl(about, IDOK, L"ОК", true, "About OK");
    HWND ok = ::GetDlgItem(about, IDOK);
    ::PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    Check(WaitGone(about, 5000), "\"ОК\" closes the About box");
    Check(::IsWindow(main) != FALSE, "the main dialog stays");
    return failures == 0 ? 0 : 1;
}

// Chooses the system command `commandId` and expects no About box.
int NoAbout(UINT commandId) {
    HWND main = MainWindow();
    if (main == nullptr) {
        return 1;
    }
    ::PostMessageW(main, WM_SYSCOMMAND, commandId, 0);
    HWND about = WaitForDialog(kAboutCaption, 700);
    Check(about == nullptr,
          "system command " + std::to_string(commandId) + " doesn't open the About box");
    if (about != nullptr) {
        ::PostMessageW(about, WM_COMMAND, IDOK, 0);
    }
    return failures == 0 ? 0 : 1;
}

// The help command shows the application's help message; closed with OK.
int Help() {
    HWND main = MainWindow();
    if (main == nullptr) {
        return 1;
    }
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(57670, 0), 0);
    HWND box = WaitForDialog(L"Varnock", 5000);
    Check(box != nullptr, "ID_HELP shows a message box captioned \"Varnock\"");
    if (box != nullptr) {
        Check(TextOf(::GetDlgItem(box, 0xFFFF)) == L"No help is available for this program.",
              "the help box says that there is no help file");
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        Check(WaitGone(box, 5000), "OK closes the help box");
    }
    return failures == 0 ? 0 : 1;
}

// Prints the main dialog's client area on the screen: left top right bottom.
int ClientRect() {
    HWND main = MainWindow();
    if (main == nullptr) {
        return 1;
    }
    RECT client{};
    ::GetClientRect(main, &client);
    POINT topLeft{client.left, client.top};
    POINT bottomRight{client.right, client.bottom};
    ::ClientToScreen(main, &topLeft);
    ::ClientToScreen(main, &bottomRight);
    std::printf("%ld %ld %ld %ld\n", topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    return 0;
}

int Finish() {
    HWND main = MainWindow();
    if (main == nullptr) {
        return 1;
    }
    HWND finish = ::GetDlgItem(main, IDOK);
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(finish));
    Check(WaitGone(main, 5000), "\"Finish\" closes the main dialog");
    return failures == 0 ? 0 : 1;
}

// The resources of the exe file: version block and icon group 128.
int Resources(const wchar_t* path) {
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &handle);
    Check(size != 0, "the exe has a version block");
    if (size != 0) {
        std::string block(size, '\0');
        ::GetFileVersionInfoW(path, 0, size, block.data());
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length);
        Check(fixed != nullptr && fixed->dwFileVersionMS == 0x00010000 &&
                  fixed->dwFileVersionLS == 0x00000001 && fixed->dwProductVersionMS == 0x00010000 &&
                  fixed->dwProductVersionLS == 0x00000001,
              "file and product version 1.0.0.1");
        WORD* translation = nullptr;
        ::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                         reinterpret_cast<void**>(&translation), &length);
        Check(translation != nullptr && length >= 4 && translation[0] == 0x0419 &&
                  translation[1] == 1251,
              "language Russian (0x419), code page 1251");
        const struct {
            const wchar_t* name;
            const wchar_t* value;
        } strings[] = {
            {L"InternalName", L"Varnock.exe"},
            {L"OriginalFilename", L"Varnock.exe"},
            {L"FileVersion", L"1.0.0.1"},
            {L"ProductVersion", L"1.0.0.1"},
        };
        for (const auto& entry : strings) {
            wchar_t* value = nullptr;
            const std::wstring query = std::wstring(L"\\StringFileInfo\\041904e3\\") + entry.name;
            ::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value),
                             &length);
            Check(value != nullptr && std::wstring(value) == entry.value,
                  ToUtf8(entry.name) + " is \"" + ToUtf8(entry.value) + "\"");
        }
    }

    HMODULE module = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = module != nullptr
                      ? ::FindResourceW(module, MAKEINTRESOURCEW(128), MAKEINTRESOURCEW(14))
                      : nullptr;
    Check(found != nullptr, "icon group 128");
    if (found != nullptr) {
#pragma pack(push, 2)
        struct GroupEntry {
            BYTE width, height, colorCount, reserved;
            WORD planes, bitCount;
            DWORD bytes;
            WORD id;
        };
        struct Group {
            WORD reserved, type, count;
            GroupEntry entries[1];
        };
#pragma pack(pop)
        const auto* group =
            static_cast<const Group*>(::LockResource(::LoadResource(module, found)));
        std::string images;
        for (WORD i = 0; i < group->count; ++i) {
            const GroupEntry& e = group->entries[i];
            images += std::to_string(e.width == 0 ? 256 : e.width) + "/" +
                      std::to_string(e.bitCount) + " ";
        }
        Check(images == "16/4 24/4 32/4 48/4 16/8 24/8 32/8 48/8 16/32 24/32 32/32 48/32 256/32 ",
              "icon 128 holds 16, 24, 32 and 48 px in 4, 8 and 32 bits and 256 px, not " + images);
    }
    if (module != nullptr) {
        ::FreeLibrary(module);
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"check-main") {
        return CheckMain();
    }
    if ((command == L"about" || command == L"no-about") && argc > 2) {
        const UINT id = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 0));
        return command == L"about" ? About(id) : NoAbout(id);
    }
    if (command == L"help") {
        return Help();
    }
    if (command == L"client-rect") {
        return ClientRect();
    }
    if (command == L"resources" && argc > 2) {
        return Resources(argv[2]);
    }
    if (command == L"finish") {
        return Finish();
    }
    std::fprintf(stderr,
                 "usage: shell_probe check-main | about ID | no-about ID | help | client-rect | "
                 "finish | resources EXE\n");
    return 2;
}
