#include "tools/xrcall/thread_startups.h"

#include <windows.h>

#include <tlhelp32.h>

#include <atomic>

#include "base/kernel_handle.h"

namespace {

// Threads of this process that are through their thread-attach step and have not yet ended.
// The loader calls the program's TLS callback in each thread it starts or ends.
std::atomic<long> startedThreads{0};

void NTAPI onThreadEvent(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_THREAD_ATTACH) {
        ++startedThreads;
    } else if (reason == DLL_THREAD_DETACH) {
        --startedThreads;
    }
}

// The loader finds the callback in the program's TLS directory (MinGW's .CRT$XL* list).
extern "C" __attribute__((section(".CRT$XLF"), used))
const PIMAGE_TLS_CALLBACK xrcallThreadCallback = onThreadEvent;

// This process's threads besides the calling one, or -1 when they cannot be listed.
long otherThreads() {
    const KernelHandle snapshot = adoptFileHandle(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) {
        return -1;
    }
    long count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    const DWORD self = ::GetCurrentProcessId();
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
         more = ::Thread32Next(snapshot.get(), &entry)) {
        count += entry.th32OwnerProcessID == self ? 1 : 0;
    }
    return count - 1;
}

}  // namespace

bool WaitForThreadStartups(unsigned timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const long others = otherThreads();
        if (others >= 0 && others <= startedThreads.load()) {
            // The loader holds its lock while a thread attaches: taking it once lets the last
            // one finish that step.
            HMODULE module = nullptr;
            if (::GetModuleHandleExW(0, L"kernel32.dll", &module)) {
                ::FreeLibrary(module);
            }
            return true;
        }
        if (others < 0 || ::GetTickCount64() >= deadline) {
            return false;
        }
        ::Sleep(1);
    }
}
