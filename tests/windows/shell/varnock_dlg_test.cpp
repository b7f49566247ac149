// The real main dialog, run in this process from its own template: system menu, icons,
// control colours, the poll timer, data exchange and Finish. (Wine keeps menus per process,
// so the system menu can only be read from inside.)
#include "app/varnock_dlg.h"

#include "app/poll/poll_cycle.h"

#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <utility>

namespace {

class InspectedVarnockDlg : public CVarnockDlg {
  public:
    static constexpr UINT kRunScript = WM_APP + 1;

    explicit InspectedVarnockDlg(std::function<void(InspectedVarnockDlg&)> script)
        : m_script(std::move(script)) {}

    static const MessageMap* GetThisMessageMap() {
        static const MessageMapEntry entries[] = {
            OnMessage<kRunScript, &InspectedVarnockDlg::RunScript>(),
        };
        static const MessageMap map = MakeMessageMap(&CVarnockDlg::GetThisMessageMap, entries);
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  protected:
    bool OnInitDialog() override {
        const bool result = CVarnockDlg::OnInitDialog();
        PostMessage(kRunScript);
        return result;
    }

  private:
    LRESULT RunScript(WPARAM, LPARAM) {
        m_script(*this);
        // Whatever the script did, the dialog must end: a Cancel posted to a dialog that the
        // script already ended is dropped with its window.
        PostMessage(WM_COMMAND, IDCANCEL);
        return 0;
    }

    std::function<void(InspectedVarnockDlg&)> m_script;
};

TEST(VarnockDialog, SystemMenuEndsWithSeparatorAndAboutEntry) {
    InspectedVarnockDlg dialog([](InspectedVarnockDlg& d) {
        HMENU menu = ::GetSystemMenu(d.m_hWnd, FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        MENUITEMINFOW separator{};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE;
        ASSERT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(count - 2), TRUE, &separator));
        EXPECT_NE(separator.fType & MFT_SEPARATOR, 0u);
        wchar_t text[128] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(count - 1), text, 128, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(text), L"&О проекте Varnock...");
        EXPECT_EQ(::GetMenuItemID(menu, count - 1), 16u);
        d.EndDialog(IDOK);
    });
    dialog.DoModal();
}

TEST(VarnockDialog, IconsAndDragIconAreTheApplicationIcon) {
    InspectedVarnockDlg dialog([](InspectedVarnockDlg& d) {
        ASSERT_NE(d.m_hIcon, nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(d.SendMessage(WM_GETICON, ICON_BIG)), d.m_hIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(d.SendMessage(WM_GETICON, ICON_SMALL)), d.m_hIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(d.SendMessage(WM_QUERYDRAGICON)), d.m_hIcon);
    });
    dialog.DoModal();
}

TEST(VarnockDialog, EveryControlColourRequestGetsTheDialogColours) {
    InspectedVarnockDlg dialog([](InspectedVarnockDlg& d) {
        HDC dc = ::CreateCompatibleDC(nullptr);
        for (UINT message = WM_CTLCOLORMSGBOX; message <= WM_CTLCOLORSTATIC; ++message) {
            ::SetTextColor(dc, RGB(9, 9, 9));
            ::SetBkColor(dc, RGB(9, 9, 9));
            const auto brush = reinterpret_cast<HBRUSH>(
                d.SendMessage(message, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(::GetDlgItem(d.m_hWnd, 1003))));
            EXPECT_EQ(brush, static_cast<HBRUSH>(d.m_backgroundBrush)) << message;
            LOGBRUSH described{};
            ::GetObjectW(brush, sizeof described, &described);
            EXPECT_EQ(described.lbColor, RGB(255, 250, 198)) << message;
            EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 0)) << message;
            EXPECT_EQ(::GetBkColor(dc), RGB(255, 240, 198)) << message;
        }
        ::DeleteDC(dc);
    });
    dialog.DoModal();
}

TEST(VarnockDialog, PollTimerIsArmedAndLinkMarkHidden) {
    InspectedVarnockDlg dialog([](InspectedVarnockDlg& d) {
        EXPECT_TRUE(d.KillTimer(pollcycle::kPollTimerId));  // false when it wasn't armed
        EXPECT_FALSE(d.GetDlgItem(IDC_LINK_MARK)->IsWindowVisible());
        EXPECT_FALSE(d.GetDlgItem(IDCANCEL)->IsWindowVisible());
        EXPECT_FALSE(d.GetDlgItem(IDCANCEL)->IsWindowEnabled());
    });
    dialog.DoModal();
}

TEST(VarnockDialog, FinishEndsTheDialogAndSavesTheControlsIntoTheFlags) {
    LRESULT fldigiState = -1;
    LRESULT hostState = -1;
    InspectedVarnockDlg dialog([&](InspectedVarnockDlg& d) {
        // The indicators are owner-drawn and keep no check state of their own; whatever the
        // controls report is what Finish must store.
        d.m_fldigiChecked = d.m_hostChecked = 7;
        fldigiState = ::SendDlgItemMessageW(d.m_hWnd, IDC_FLDIGI_INDICATOR, BM_GETCHECK, 0, 0);
        hostState = ::SendDlgItemMessageW(d.m_hWnd, IDC_HOST_INDICATOR, BM_GETCHECK, 0, 0);
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                      reinterpret_cast<LPARAM>(::GetDlgItem(d.m_hWnd, IDOK)));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_fldigiChecked, fldigiState);
    EXPECT_EQ(dialog.m_hostChecked, hostState);
}

SIZE TextSize(HWND control, const std::wstring& text) {
    HDC dc = ::GetDC(control);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return size;
}

COLORREF StatusTextColor(CVarnockDlg& d) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    d.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                  reinterpret_cast<LPARAM>(::GetDlgItem(d.m_hWnd, IDC_STATUS_LINE)));
    const COLORREF color = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return color;
}

// The tooltip's text for the status line.
std::wstring StatusToolTip(CVarnockDlg& d) {
    HWND tip = nullptr;
    while ((tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr &&
           ::GetWindow(tip, GW_OWNER) != d.m_hWnd) {
    }
    wchar_t text[1024] = L"";
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = d.m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(d.m_hWnd, IDC_STATUS_LINE));
    tool.lpszText = text;
    if (tip != nullptr) {
        ::SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    }
    return text;
}

TEST(VarnockDialog, StatusLineFitsItsControlWholeInTheTooltipRedWhenTheOperatorMustAct) {
    const std::string path =
        "C:\\Users\\Operator\\fldigi.files\\\\temp\\a-rather-long-folder-name-for-it\\"
        "unsaved-contacts.adi";
    InspectedVarnockDlg dialog([&](InspectedVarnockDlg& d) {
        HWND line = ::GetDlgItem(d.m_hWnd, IDC_STATUS_LINE);
        ASSERT_NE(line, nullptr);
        d.m_statusLine.Show({"3 contacts not saved: ", path, "", true, true});
        const std::wstring shown = d.GetDlgItem(IDC_STATUS_LINE)->GetWindowText();
        RECT client{};
        ::GetClientRect(line, &client);
        EXPECT_EQ(shown.rfind(L"3 contacts not saved: C:\\Users", 0), 0u) << shown.c_str();
        EXPECT_NE(shown.find(L"\u2026"), std::wstring::npos) << shown.c_str();
        EXPECT_EQ(shown.substr(shown.size() - 8), L"acts.adi") << shown.c_str();
        EXPECT_LE(TextSize(line, shown).cx, client.right) << shown.c_str();
        EXPECT_EQ(StatusToolTip(d),
                  L"3 contacts not saved: " + std::wstring(path.begin(), path.end()));
        EXPECT_EQ(StatusTextColor(d), RGB(192, 0, 0));

        d.m_statusLine.Show({"Saved DL1ABC at 14:02 UTC", "", "", false, false});
        EXPECT_EQ(d.GetDlgItem(IDC_STATUS_LINE)->GetWindowText(), L"Saved DL1ABC at 14:02 UTC");
        EXPECT_EQ(StatusTextColor(d), RGB(0, 0, 0));
    });
    dialog.DoModal();
}

// COM begun by someone else on the thread survives Finish when the host was never attached.
TEST(VarnockDialog, FinishWithoutAnAttachedHostDoesNoComShutdown) {
    ASSERT_EQ(::CoInitialize(nullptr), S_OK);
    InspectedVarnockDlg dialog([](InspectedVarnockDlg& d) {
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                      reinterpret_cast<LPARAM>(::GetDlgItem(d.m_hWnd, IDOK)));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    const HRESULT again = ::CoInitialize(nullptr);
    EXPECT_EQ(again, S_FALSE) << "Finish must not end COM it did not begin";
    if (SUCCEEDED(again)) {
        ::CoUninitialize();
    }
    ::CoUninitialize();
}

}  // namespace
