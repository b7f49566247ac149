// Message tables: which handler a message reaches, with which unpacked parameters, and what
// reaches the window's original procedure.
#include "framework/wnd.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string>* g_log = nullptr;  // the running test's log (tests run one at a time)

void Log(const std::string& line) {
    g_log->push_back(line);
}

std::string Hex(UINT value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

// The original procedure of the test window: records what reaches it.
LRESULT CALLBACK ClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_log != nullptr && message >= WM_USER) {
        Log("class proc " + Hex(message));
        return 0x5150;
    }
    if (g_log != nullptr && message == WM_COMMAND) {
        Log("class proc WM_COMMAND " + std::to_string(LOWORD(wParam)));
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class BaseProbe : public CWnd {
  public:
    static const MessageMap* GetThisMessageMap() {
        static const MessageMapEntry entries[] = {
            OnWmTimer<&BaseProbe::OnTimer>(),
            OnBnClicked<7, &BaseProbe::OnSevenClicked>(),
        };
        static const MessageMap map = MakeMessageMap(&CWnd::GetThisMessageMap, entries);
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  private:
    void OnTimer(UINT_PTR id) { Log("base OnTimer " + std::to_string(id)); }
    void OnSevenClicked() { Log("base OnSevenClicked"); }
};

class DerivedProbe : public BaseProbe {
  public:
    static constexpr UINT kOuter = WM_APP + 1;
    static constexpr UINT kInner = WM_APP + 2;

    static const MessageMap* GetThisMessageMap() {
        static const MessageMapEntry entries[] = {
            OnWmTimer<&DerivedProbe::OnTimer>(),
            OnCommandCode<7, EN_CHANGE, &DerivedProbe::OnSevenChanged>(),
            OnWmSysCommand<&DerivedProbe::OnSysCommand>(),
            OnWmCtlColor<&DerivedProbe::OnCtlColor>(),
            OnWmQueryDragIcon<&DerivedProbe::OnQueryDragIcon>(),
            OnWmLButtonUp<&DerivedProbe::OnLButtonUp>(),
            OnMessage<kOuter, &DerivedProbe::OnOuter>(),
        };
        static const MessageMap map = MakeMessageMap(&BaseProbe::GetThisMessageMap, entries);
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  private:
    void OnTimer(UINT_PTR id) { Log("derived OnTimer " + std::to_string(id)); }
    void OnSevenChanged() { Log("derived OnSevenChanged"); }
    void OnSysCommand(UINT id, LPARAM lParam) {
        Log("OnSysCommand " + Hex(id) + " " + Hex(static_cast<UINT>(lParam)));
    }
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind) {
        Log("OnCtlColor kind " + std::to_string(kind) + " dc " +
            Hex(static_cast<UINT>(reinterpret_cast<UINT_PTR>(dc))) + " control " +
            Hex(static_cast<UINT>(reinterpret_cast<UINT_PTR>(control))));
        return reinterpret_cast<HBRUSH>(UINT_PTR{0x77});
    }
    HCURSOR OnQueryDragIcon() {
        Log("OnQueryDragIcon");
        return reinterpret_cast<HCURSOR>(UINT_PTR{0x99});
    }
    void OnLButtonUp(UINT flags, POINT cursor) {
        Log("OnLButtonUp " + std::to_string(flags) + " " + std::to_string(cursor.x) + "," +
            std::to_string(cursor.y));
    }
    // Sends another message first, then hands its own message to the default processing.
    LRESULT OnOuter(WPARAM, LPARAM) {
        SendMessage(kInner);
        return Default();
    }
};

class MessageTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_log = &log_;
        WNDCLASSW cls{};
        cls.lpfnWndProc = &ClassProc;
        cls.hInstance = ::GetModuleHandleW(nullptr);
        cls.lpszClassName = L"VarnockMessageTableTest";
        ::RegisterClassW(&cls);
        window_ = ::CreateWindowExW(0, cls.lpszClassName, L"probe", WS_OVERLAPPED, 0, 0, 50, 50,
                                    nullptr, nullptr, cls.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(probe_.SubclassWindow(window_));
    }
    void TearDown() override {
        ::DestroyWindow(window_);
        g_log = nullptr;
    }

    std::vector<std::string> log_;
    HWND window_ = nullptr;
    DerivedProbe probe_;
};

struct Row {
    const char* what;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* logged;
    LRESULT result;
};

TEST_F(MessageTableTest, EachMessageReachesItsHandlerWithUnpackedParameters) {
    const Row rows[] = {
        {"derived entry hides the base's", WM_TIMER, 42, 0, "derived OnTimer 42", 0},
        {"base entry found through the chain", WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0,
         "base OnSevenClicked", 0},
        {"command matched by id and code", WM_COMMAND, MAKEWPARAM(7, EN_CHANGE), 0,
         "derived OnSevenChanged", 0},
        {"command without entry goes to the window", WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), 0,
         "class proc WM_COMMAND 8", 0},
        {"system command", WM_SYSCOMMAND, 0xF065, 0x00200010, "OnSysCommand 0xF065 0x200010", 0},
        {"button colour", WM_CTLCOLORBTN, 0x1234, 0x0456,
         "OnCtlColor kind 3 dc 0x1234 control 0x0456", 0x77},
        {"message box colour", WM_CTLCOLORMSGBOX, 0x1, 0x2,
         "OnCtlColor kind 0 dc 0x0001 control 0x0002", 0x77},
        {"dialog colour", WM_CTLCOLORDLG, 0x1, 0x2, "OnCtlColor kind 4 dc 0x0001 control 0x0002",
         0x77},
        {"static colour", WM_CTLCOLORSTATIC, 0x1, 0x2, "OnCtlColor kind 6 dc 0x0001 control 0x0002",
         0x77},
        {"drag icon", WM_QUERYDRAGICON, 0, 0, "OnQueryDragIcon", 0x99},
        {"mouse position is signed", WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(-3, 5),
         "OnLButtonUp 4 -3,5", 0},
        {"unmapped message goes to the window", WM_USER + 5, 0, 0, "class proc 0x0405", 0x5150},
    };
    for (const Row& row : rows) {
        log_.clear();
        const LRESULT result = ::SendMessageW(window_, row.message, row.wParam, row.lParam);
        ASSERT_EQ(log_.size(), 1u) << row.what;
        EXPECT_EQ(log_[0], row.logged) << row.what;
        EXPECT_EQ(result, row.result) << row.what;
    }
}

TEST_F(MessageTableTest, DefaultHandsOnTheMessageBeingHandledAfterANestedOne) {
    const LRESULT result = ::SendMessageW(window_, DerivedProbe::kOuter, 0, 0);
    EXPECT_EQ(log_, (std::vector<std::string>{"class proc 0x8002", "class proc 0x8001"}));
    EXPECT_EQ(result, 0x5150);
}

TEST_F(MessageTableTest, DestroyingTheWindowDetachesTheObject) {
    EXPECT_EQ(CWnd::FromHandlePermanent(window_), &probe_);
    ::DestroyWindow(window_);
    EXPECT_EQ(probe_.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(window_), nullptr);
}

TEST_F(MessageTableTest, DestroyingTheObjectFirstPutsTheOriginalProcedureBack) {
    {
        DerivedProbe shortLived;
        HWND other = ::CreateWindowExW(0, L"VarnockMessageTableTest", L"other", WS_OVERLAPPED, 0, 0,
                                       50, 50, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(shortLived.SubclassWindow(other));
        window_ = other;  // TearDown destroys it; the fixture's own window goes below
        ::DestroyWindow(probe_.m_hWnd);
    }
    EXPECT_EQ(::GetWindowLongPtrW(window_, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ClassProc));
    EXPECT_EQ(CWnd::FromHandlePermanent(window_), nullptr);
    log_.clear();
    ::SendMessageW(window_, WM_TIMER, 1, 0);
    EXPECT_TRUE(log_.empty());
}

TEST_F(MessageTableTest, AWindowCanBeSubclassedByOneObjectOnly) {
    DerivedProbe second;
    EXPECT_FALSE(second.SubclassWindow(window_));
    EXPECT_FALSE(probe_.SubclassWindow(window_));
    EXPECT_EQ(CWnd::FromHandlePermanent(window_), &probe_);
}

}  // namespace
