// The real main dialog, run in this process from its own template: system menu, icons,
// control colours, the poll timer, data exchange and Finish. (Wine keeps menus per process,
// so the system menu can only be read from inside.)
#include "app/varnock_dlg.h"

#include "app/poll/poll_cycle.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <functional>
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
