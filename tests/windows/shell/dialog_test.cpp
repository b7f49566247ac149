// Modal dialogs: data exchange for check boxes, subclassed owner-drawn controls with
// WM_DRAWITEM reflected to DrawItem, command routing, and how a dialog ends.
#include "framework/button.h"
#include "framework/cmd_target.h"
#include "scripted_dialog.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct CheckRow {
    int controlId;
    int member;
    int shown;  // the control's check state after the exchange
};

TEST(DataExchange, MembersGoIntoTheCheckBoxes) {
    const CheckRow rows[] = {
        {IDC_TWO_STATE, 0, BST_UNCHECKED},       {IDC_TWO_STATE, 1, BST_CHECKED},
        {IDC_THREE_STATE, 2, BST_INDETERMINATE}, {IDC_THREE_STATE, 1, BST_CHECKED},
        {IDC_TWO_STATE, 7, BST_UNCHECKED},       {IDC_THREE_STATE, -1, BST_UNCHECKED},
    };
    for (const CheckRow& row : rows) {
        int shown = -100;
        ScriptedDialog dialog([&](ScriptedDialog& d) {
            ::SendMessageW(::GetDlgItem(d.m_hWnd, row.controlId), BM_SETCHECK, BST_CHECKED, 0);
            (row.controlId == IDC_TWO_STATE ? d.m_twoState : d.m_threeState) = row.member;
            d.UpdateData(false);
            shown = static_cast<int>(
                ::SendMessageW(::GetDlgItem(d.m_hWnd, row.controlId), BM_GETCHECK, 0, 0));
            d.EndDialog(IDOK);
        });
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(shown, row.shown) << "control " << row.controlId << " member " << row.member;
    }
}

TEST(DataExchange, CheckBoxesGoIntoTheMembers) {
    const CheckRow rows[] = {
        {IDC_TWO_STATE, 0, BST_UNCHECKED},
        {IDC_TWO_STATE, 1, BST_CHECKED},
        {IDC_THREE_STATE, 2, BST_INDETERMINATE},
    };
    for (const CheckRow& row : rows) {
        ScriptedDialog dialog([&](ScriptedDialog& d) {
            ::SendMessageW(::GetDlgItem(d.m_hWnd, row.controlId), BM_SETCHECK,
                           static_cast<WPARAM>(row.shown), 0);
            d.m_twoState = d.m_threeState = -5;
            d.UpdateData(true);
            d.EndDialog(IDOK);
        });
        ASSERT_EQ(dialog.DoModal(), IDOK);
        const int member = row.controlId == IDC_TWO_STATE ? dialog.m_twoState : dialog.m_threeState;
        EXPECT_EQ(member, row.member) << "control " << row.controlId;
    }
}

TEST(DataExchange, InitialisationShowsTheMembersAndOkSavesTheControls) {
    int shownAtStart = -1;
    ScriptedDialog dialog([&](ScriptedDialog& d) {
        HWND box = ::GetDlgItem(d.m_hWnd, IDC_TWO_STATE);
        shownAtStart = static_cast<int>(::SendMessageW(box, BM_GETCHECK, 0, 0));
        ::SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
        ::SendMessageW(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    dialog.m_twoState = 1;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(shownAtStart, BST_CHECKED);
    EXPECT_EQ(dialog.m_twoState, 0);
}

TEST(Dialog, CancelAndCloseEndWithIdCancelWithoutSaving) {
    for (UINT message : {UINT{WM_COMMAND}, UINT{WM_CLOSE}}) {
        ScriptedDialog dialog([&](ScriptedDialog& d) {
            ::SendMessageW(::GetDlgItem(d.m_hWnd, IDC_TWO_STATE), BM_SETCHECK, BST_CHECKED, 0);
            ::SendMessageW(d.m_hWnd, message, message == WM_COMMAND ? IDCANCEL : 0, 0);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << message;
        EXPECT_EQ(dialog.m_twoState, 0) << message;
    }
}

// An owner-drawn button in the way the status indicators use it.
class OwnerDrawnProbe : public CButton {
  public:
    HWND handleSeenBySubclassHook = nullptr;
    std::vector<DRAWITEMSTRUCT> paints;
    int buttonUps = 0;

    void PreSubclassWindow() override {
        handleSeenBySubclassHook = m_hWnd;
        ModifyStyle(0, BS_OWNERDRAW);
    }
    void DrawItem(DRAWITEMSTRUCT* item) override { paints.push_back(*item); }

    static const MessageMap* GetThisMessageMap() {
        static const MessageMapEntry entries[] = {
            OnWmLButtonUp<&OwnerDrawnProbe::OnLButtonUp>(),
        };
        static const MessageMap map = MakeMessageMap(&CButton::GetThisMessageMap, entries);
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  private:
    void OnLButtonUp(UINT, POINT) {
        ++buttonUps;
        Default();
    }
};

TEST(Subclassing, OwnerDrawnButtonPaintsThroughDrawItem) {
    OwnerDrawnProbe indicator;
    ScriptedDialog dialog([&](ScriptedDialog& d) {
        HWND control = ::GetDlgItem(d.m_hWnd, IDC_TWO_STATE);
        EXPECT_EQ(::GetWindowLongW(control, GWL_STYLE), 0x50010003);
        ASSERT_TRUE(indicator.SubclassDlgItem(IDC_TWO_STATE, &d));
        EXPECT_EQ(indicator.handleSeenBySubclassHook, control);
        EXPECT_EQ(::GetWindowLongW(control, GWL_STYLE), 0x5001000B);
        EXPECT_EQ(d.GetDlgItem(IDC_TWO_STATE), &indicator);

        indicator.paints.clear();
        indicator.RedrawWindow();  // paints before it returns
        ASSERT_FALSE(indicator.paints.empty());
        const DRAWITEMSTRUCT& item = indicator.paints.back();
        EXPECT_EQ(item.CtlType, static_cast<UINT>(ODT_BUTTON));
        EXPECT_EQ(item.CtlID, static_cast<UINT>(IDC_TWO_STATE));
        EXPECT_EQ(item.hwndItem, control);
        EXPECT_NE(item.hDC, nullptr);
        EXPECT_GT(item.rcItem.right, item.rcItem.left);

        indicator.paints.clear();
        indicator.EnableWindow(false);
        indicator.RedrawWindow();
        ASSERT_FALSE(indicator.paints.empty());
        EXPECT_NE(indicator.paints.back().itemState & ODS_DISABLED, 0u);
        indicator.EnableWindow(true);

        ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        EXPECT_EQ(indicator.buttonUps, 1);

        OwnerDrawnProbe second;
        EXPECT_FALSE(second.SubclassDlgItem(IDC_TWO_STATE, &d));
        EXPECT_FALSE(second.SubclassDlgItem(4242, &d));
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(indicator.m_hWnd, nullptr);  // let go when the dialog's controls went away
}

TEST(Subclassing, UnsubclassedControlsAreBorrowedAndStable) {
    ScriptedDialog dialog([&](ScriptedDialog& d) {
        CWnd* first = d.GetDlgItem(IDC_THREE_STATE);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->m_hWnd, ::GetDlgItem(d.m_hWnd, IDC_THREE_STATE));
        EXPECT_EQ(d.GetDlgItem(IDC_THREE_STATE), first);
        EXPECT_EQ(CWnd::FromHandlePermanent(first->m_hWnd), nullptr);
        EXPECT_EQ(d.GetDlgItem(4242), nullptr);
        first->SetWindowText("Fldigi working");
        EXPECT_EQ(first->GetWindowText(), L"Fldigi working");
        first->ShowWindow(SW_HIDE);
        EXPECT_FALSE(first->IsWindowVisible());
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

// Stands in for the application object.
class CommandSink : public CCmdTarget {
  public:
    int helpCommands = 0;
    static const MessageMap* GetThisMessageMap() {
        static const MessageMapEntry entries[] = {
            OnCommand<ID_HELP, &CommandSink::OnHelp>(),
        };
        static const MessageMap map = MakeMessageMap(&CCmdTarget::GetThisMessageMap, entries);
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  private:
    void OnHelp() { ++helpCommands; }
};

TEST(CommandRouting, CommandsTheDialogDoesNotHandleGoToTheApplication) {
    CommandSink application;
    ScriptedDialog dialog([&](ScriptedDialog& d) {
        d.SendMessage(WM_COMMAND, ID_HELP);
        HELPINFO help{};
        help.cbSize = sizeof help;
        d.SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&help));  // what F1 sends
        d.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, EN_CHANGE));   // a different code: not it
        d.EndDialog(IDOK);
    });
    dialog.SetCommandRoute(&application);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(application.helpCommands, 2);
}

}  // namespace
