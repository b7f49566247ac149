// kebrin-sim: a stand-in for the Kebrin logging program's automation object
// "Kebrin2.Application", for trying out and testing the bridge without the real program.
// It registers the ProgID, puts its object into the running object table, answers the four
// members the bridge uses, journals the calls and shows the contact being entered.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/c_file.h"
#include "base/kernel_handle.h"
#include "framework/message_filter.h"
#include "framework/text_conversion.h"
#include "tools/kebrin-sim/automation_object.h"
#include "tools/kebrin-sim/host_state.h"
#include "tools/kebrin-sim/journal.h"
#include "tools/kebrin-sim/kebrin_calls.h"
#include "tools/kebrin-sim/options.h"
#include "tools/kebrin-sim/registration.h"
#include "tools/kebrin-sim/sim_window.h"

namespace {

void complain(const std::wstring& text) {
    const std::string line = "kebrin-sim: " + ToUtf8(text) + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

std::vector<std::wstring> commandLineArguments() {
    std::vector<std::wstring> args;
    int count = 0;
    const LocalMemory<wchar_t**> argv(::CommandLineToArgvW(::GetCommandLineW(), &count));
    for (int i = 1; argv && i < count; ++i) {
        args.emplace_back(argv.get()[i]);
    }
    return args;
}

// RPCSS may not be up yet right after the Windows (or Wine) session starts: retry a while.
HRESULT registerActiveObject(IUnknown* object, DWORD& cookie) {
    HRESULT hr = E_FAIL;
    for (int attempt = 0; attempt < 50; ++attempt) {
        hr = ::RegisterActiveObject(object, kKebrinClassId, ACTIVEOBJECT_STRONG, &cookie);
        if (hr != HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)) {
            break;
        }
        ::Sleep(100);
    }
    return hr;
}

// Written under a temporary name and renamed, so a reader never sees half of it.
bool writeReadyFile(const std::wstring& path) {
    const std::wstring temporary = path + L".tmp";
    CFile file(::_wfopen(temporary.c_str(), L"wb"));
    if (!file) {
        return false;
    }
    std::fprintf(file.get(), "%lu\n", static_cast<unsigned long>(::GetCurrentProcessId()));
    const bool written = std::fclose(file.release()) == 0;
    return written &&
           ::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

// Wine runs an incoming call its called side's filter wants retried later (it does not
// implement that answer), so there the stand-in also keeps calls waiting while it is busy.
bool calledSideRunsRetryLaterCalls() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

int runMessageLoop(const KebrinCalls& calls, const SimWindow& window) {
    const bool holdCallsWhileBusy = calledSideRunsRetryLaterCalls();
    for (;;) {
        // While calls are held only the stand-in's own window gets its messages; COM's wait.
        const bool hold = holdCallsWhileBusy && calls.Busy() && ::IsWindow(window.Handle());
        MSG message;
        while (::PeekMessageW(&message, hold ? window.Handle() : nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return static_cast<int>(message.wParam);
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
            if (hold != (holdCallsWhileBusy && calls.Busy() && ::IsWindow(window.Handle()))) {
                break;
            }
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, hold ? 50 : INFINITE, QS_ALLINPUT);
    }
}

// Turns incoming calls away with "retry later" while the stand-in is busy.
class BusyFilter final : public CMessageFilter {
  public:
    explicit BusyFilter(const KebrinCalls& calls) : m_calls(calls) {}

    STDMETHODIMP_(DWORD)
    HandleInComingCall(DWORD callType, HTASK, DWORD, LPINTERFACEINFO) override {
        const bool newCall =
            callType == CALLTYPE_TOPLEVEL || callType == CALLTYPE_TOPLEVEL_CALLPENDING;
        return newCall && m_calls.Busy() ? SERVERCALL_RETRYLATER : SERVERCALL_ISHANDLED;
    }

  private:
    const KebrinCalls& m_calls;
};

// Registers the stand-in for this user unless the ProgID names another program and the user
// did not ask for that; says why not.
bool registerClass(const SimOptions& options, Keep keep) {
    const std::wstring other = OtherProgramsClassId();
    if (!other.empty() && !options.takeOver) {
        complain(std::wstring(kKebrinProgId) + L" is registered for another program (class " +
                 other +
                 L"), most likely Kebrin itself. Its registration is left as it is; start "
                 L"kebrin-sim with --take-over to register it for this user instead until "
                 L"kebrin-sim ends (or --unregister, after --register), when the old "
                 L"registration is put back.");
        return false;
    }
    if (!RegisterKebrinClass(keep)) {
        complain(L"could not register the ProgID Kebrin2.Application for this user");
        return false;
    }
    return true;
}

// Runs the stand-in until it is told to quit; COM is initialised around it.
int serve(HINSTANCE instance, const SimOptions& options) {
    Journal journal;
    if (!options.journalPath.empty() && !journal.Open(options.journalPath)) {
        complain(L"cannot open the journal " + options.journalPath);
        return 1;
    }
    HostState state;
    KebrinCalls calls(state, journal);
    calls.SetFailCalls(options.failCalls);
    const CMessageFilterRegistration filter(new BusyFilter(calls));
    SimWindow window(state, calls);
    if (!window.Create(instance)) {
        complain(L"cannot create the window");
        return 1;
    }
    calls.SetAfterCall([&] {
        window.Refresh();
        if (options.quitAfter > 0 && calls.CallCount() >= options.quitAfter) {
            window.Close();
        }
    });
    if (!options.controlPath.empty()) {
        window.WatchControlFile(options.controlPath);
    }

    auto* object = new AutomationObject(calls);
    DWORD cookie = 0;
    const HRESULT hr = registerActiveObject(object, cookie);
    if (FAILED(hr)) {
        complain(L"RegisterActiveObject failed, HRESULT " + std::to_wstring(hr));
        object->Release();
        return 1;
    }
    if (!options.readyPath.empty() && !writeReadyFile(options.readyPath)) {
        complain(L"cannot write the ready file " + options.readyPath);
    }

    const int exitCode = runMessageLoop(calls, window);

    // Leave the table first, then cut off clients still holding a proxy: their next call fails
    // at once instead of reaching an object that is going away.
    ::RevokeActiveObject(cookie, nullptr);
    ::CoDisconnectObject(object, 0);
    object->Release();
    if (!options.readyPath.empty()) {
        ::DeleteFileW(options.readyPath.c_str());
    }
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    SimOptions options;
    std::wstring error;
    if (!ParseSimOptions(commandLineArguments(), options, error)) {
        complain(error);
        std::fputws(kSimUsage, stderr);
        return 2;
    }
    if (options.registerOnly) {
        return registerClass(options, Keep::UntilUnregister) ? 0 : 1;
    }
    if (options.unregisterOnly) {
        RestoreKebrinClass(Keep::UntilUnregister);
        return 0;
    }
    if (!registerClass(options, Keep::WhileRunning)) {
        return 1;
    }
    if (!options.readyPath.empty()) {
        ::DeleteFileW(options.readyPath.c_str());  // a stale one would say "ready" too early
    }
    int exitCode = 1;
    if (SUCCEEDED(::CoInitialize(nullptr))) {
        exitCode = serve(instance, options);
        ::CoUninitialize();
    } else {
        complain(L"CoInitialize failed");
    }
    RestoreKebrinClass(Keep::WhileRunning);
    return exitCode;
}
