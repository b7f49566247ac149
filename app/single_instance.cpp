#include "app/single_instance.h"

#include "app/poll/main_caption.h"

namespace {

constexpr wchar_t kMainCaptionStart[] = L"" VARNOCK_MAIN_CAPTION;
constexpr DWORD kRetryMs = 50;

std::wstring sessionLocal(const std::string& name, const wchar_t* suffix) {
    return L"Local\\" + std::wstring(name.begin(), name.end()) + suffix;
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findMainWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    wchar_t caption[64] = {};
    ::GetWindowTextW(window, caption, 64);
    if (processId == search.processId && ::GetWindow(window, GW_OWNER) == nullptr &&
        std::wstring(caption).rfind(kMainCaptionStart, 0) == 0) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

InstanceLock::InstanceLock(const std::string& name)
    : m_mutex(::CreateMutexW(nullptr, FALSE, sessionLocal(name, L"").c_str())) {
    m_acquired = m_mutex && ::GetLastError() != ERROR_ALREADY_EXISTS;
    m_sharedBlock.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                             sizeof(DWORD), sessionLocal(name, L"-pid").c_str()));
    if (m_acquired && m_sharedBlock) {
        if (void* view =
                ::MapViewOfFile(m_sharedBlock.get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD))) {
            *static_cast<volatile DWORD*>(view) = ::GetCurrentProcessId();
            ::UnmapViewOfFile(view);
        }
    }
}

DWORD InstanceLock::RunningProcessId() const {
    DWORD processId = 0;
    if (m_sharedBlock) {
        if (void* view = ::MapViewOfFile(m_sharedBlock.get(), FILE_MAP_READ, 0, 0, sizeof(DWORD))) {
            processId = *static_cast<volatile DWORD*>(view);
            ::UnmapViewOfFile(view);
        }
    }
    return processId;
}

bool InstanceLock::BringRunningBridgeToFront(DWORD timeoutMs) const {
    const DWORD start = ::GetTickCount();
    do {
        WindowSearch search{RunningProcessId(), nullptr};
        if (search.processId != 0) {
            ::EnumWindows(findMainWindow, reinterpret_cast<LPARAM>(&search));
        }
        if (search.found != nullptr) {
            if (::IsIconic(search.found)) {
                ::ShowWindow(search.found, SW_RESTORE);
            }
            ::SetForegroundWindow(::GetLastActivePopup(search.found));
            return true;
        }
        ::Sleep(kRetryMs);
    } while (::GetTickCount() - start < timeoutMs);
    return false;
}
