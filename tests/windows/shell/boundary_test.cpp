// An exception that escapes a handler: the error box shows its text, and the dialog's
// message loop goes on.
#include "framework/handler_boundary.h"
#include "scripted_dialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

struct TextRow {
    std::exception_ptr error;
    std::wstring text;
};

TEST(EscapedExceptionText, ShowsTheExceptionsOwnText) {
    const TextRow rows[] = {
        {std::make_exception_ptr(std::runtime_error("Invalid XMLRPC response")),
         L"Invalid XMLRPC response"},
        // UTF-8, as automation errors carry it
        {std::make_exception_ptr(
             std::runtime_error("\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0")),
         L"Ошибка"},
        // the ANSI code page 1251, as the core's texts are
        {std::make_exception_ptr(std::runtime_error("\xCE\xF8\xE8\xE1\xEA\xE0")), L"Ошибка"},
        {std::make_exception_ptr(std::runtime_error("")),
         L"Unexpected error while handling window message 0x0113."},
        {std::make_exception_ptr(42), L"Unexpected error while handling window message 0x0113."},
    };
    for (const TextRow& row : rows) {
        EXPECT_EQ(EscapedExceptionText(row.error, WM_TIMER), row.text);
    }
}

// The test program's error boxes are captioned with its name.
constexpr wchar_t kErrorBoxCaption[] = L"shell_framework_tests";

class ThrowingDialog : public ScriptedDialog {
  public:
    static constexpr UINT kThrow = WM_APP + 10;
    static constexpr UINT kAfterwards = WM_APP + 11;

    using ScriptedDialog::ScriptedDialog;
    int afterwards = 0;

    static const MessageMap* GetThisMessageMap() {
        static const MessageMapEntry entries[] = {
            OnMessage<kThrow, &ThrowingDialog::Throw>(),
            OnMessage<kAfterwards, &ThrowingDialog::Afterwards>(),
        };
        static const MessageMap map = MakeMessageMap(&ScriptedDialog::GetThisMessageMap, entries);
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  private:
    LRESULT Throw(WPARAM, LPARAM) { throw std::runtime_error("Automation error 0x800706BA"); }
    LRESULT Afterwards(WPARAM, LPARAM) {
        ++afterwards;
        EndDialog(IDOK);
        return 0;
    }
};

TEST(HandlerBoundary, ErrorBoxShowsTheTextAndTheLoopCarriesOn) {
    std::atomic<HWND> dialogWindow{nullptr};
    std::wstring boxText;
    bool boxOwnedByDialog = false;
    bool boxSeen = false;

    // Answers the error box like a user, then pokes the dialog once more.
    std::thread user([&] {
        for (int i = 0; i < 200 && !boxSeen; ++i) {
            HWND box = ::FindWindowW(L"#32770", kErrorBoxCaption);
            if (box != nullptr && ::IsWindowVisible(box)) {
                boxSeen = true;
                wchar_t text[256] = {};
                ::GetWindowTextW(::GetDlgItem(box, 0xFFFF), text, 256);
                boxText = text;
                boxOwnedByDialog = ::GetWindow(box, GW_OWNER) == dialogWindow.load();
                ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                break;
            }
            ::Sleep(25);
        }
        for (int i = 0; i < 200 && ::FindWindowW(L"#32770", kErrorBoxCaption) != nullptr; ++i) {
            ::Sleep(25);
        }
        ::PostMessageW(dialogWindow.load(), ThrowingDialog::kAfterwards, 0, 0);
    });

    ThrowingDialog dialog([&](ScriptedDialog& d) {
        dialogWindow = d.m_hWnd;
        d.PostMessage(ThrowingDialog::kThrow);
    });
    const INT_PTR result = dialog.DoModal();
    user.join();

    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(boxText, L"Automation error 0x800706BA");
    EXPECT_TRUE(boxOwnedByDialog);
    EXPECT_EQ(dialog.afterwards, 1);
    EXPECT_EQ(result, IDOK);
}

}  // namespace
