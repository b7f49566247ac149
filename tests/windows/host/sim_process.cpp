#include "sim_process.h"

#include <cstdio>

#include "sim_commands.h"

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kStopTimeoutMs = 10000;

std::wstring quoted(const std::wstring& arg) {
    return L"\"" + arg + L"\"";
}

bool startProcess(const std::vector<std::wstring>& args, PROCESS_INFORMATION& process) {
    std::wstring commandLine = quoted(SimExecutablePath());
    for (const std::wstring& arg : args) {
        commandLine += L" " + quoted(arg);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process) != 0;
}

struct WindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (pid == search->pid && std::wstring(className) == kSimWindowClass) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring SimExecutablePath() {
    // The build hands over a Unix path; Wine shows the Unix root as drive Z:.
    std::wstring path;
    for (const char* c = KEBRIN_SIM_EXE; *c != '\0'; ++c) {
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    return path.rfind(L"\\", 0) == 0 ? L"Z:" + path : path;
}

std::wstring SimProcess::TempPath(const wchar_t* suffix) {
    static unsigned counter = 0;
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"kebrin-sim-test-" + std::to_wstring(::GetCurrentProcessId()) +
           L"-" + std::to_wstring(++counter) + suffix;
}

DWORD SimProcess::RunToCompletion(const std::vector<std::wstring>& args) {
    PROCESS_INFORMATION process{};
    if (!startProcess(args, process)) {
        return static_cast<DWORD>(-1);
    }
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process.hProcess, kStopTimeoutMs) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(process.hProcess, &code);
    } else {
        ::TerminateProcess(process.hProcess, 99);
        ::WaitForSingleObject(process.hProcess, kStopTimeoutMs);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code;
}

SimProcess::SimProcess(const std::vector<std::wstring>& extraArgs)
    : m_journalPath(TempPath(L".jsonl")), m_readyPath(TempPath(L".ready")) {
    std::vector<std::wstring> args = {L"--journal", m_journalPath, L"--ready-file", m_readyPath};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    if (!startProcess(args, m_process)) {
        m_problem = "CreateProcess failed, error " + std::to_string(::GetLastError());
        return;
    }
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < kStartTimeoutMs) {
        if (::GetFileAttributesW(m_readyPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            m_ready = true;
            return;
        }
        if (::WaitForSingleObject(m_process.hProcess, 10) == WAIT_OBJECT_0) {
            DWORD code = 0;
            ::GetExitCodeProcess(m_process.hProcess, &code);
            m_problem = "kebrin-sim exited early with code " + std::to_string(code);
            return;
        }
    }
    m_problem = "kebrin-sim did not get ready in time";
}

SimProcess::~SimProcess() {
    if (m_process.hProcess != nullptr) {
        if (Running() && !Quit()) {
            Kill();
        }
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    ::DeleteFileW(m_journalPath.c_str());
    ::DeleteFileW(m_readyPath.c_str());
}

bool SimProcess::Running() const {
    return m_process.hProcess != nullptr &&
           ::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

bool SimProcess::WaitForExit(DWORD milliseconds) {
    return m_process.hProcess != nullptr &&
           ::WaitForSingleObject(m_process.hProcess, milliseconds) == WAIT_OBJECT_0;
}

bool SimProcess::Quit() {
    const HWND window = mainWindow();
    if (window == nullptr) {
        return !Running();
    }
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    return WaitForExit(kStopTimeoutMs);
}

void SimProcess::Kill() {
    if (Running()) {
        ::TerminateProcess(m_process.hProcess, 9);
        WaitForExit(kStopTimeoutMs);
    }
}

bool SimProcess::Command(int id) {
    const HWND window = mainWindow();
    DWORD_PTR result = 0;
    return window != nullptr && ::SendMessageTimeoutW(window, WM_COMMAND, static_cast<WPARAM>(id),
                                                      0, SMTO_NORMAL, kStopTimeoutMs, &result) != 0;
}

std::wstring SimProcess::WindowText() const {
    const HWND edit = ::FindWindowExW(mainWindow(), nullptr, L"EDIT", nullptr);
    if (edit == nullptr) {
        return std::wstring();
    }
    std::wstring text(8192, L'\0');
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_NORMAL, kStopTimeoutMs, &length);
    text.resize(length);
    return text;
}

std::string SimProcess::JournalBytes() const {
    std::string bytes;
    std::FILE* file = ::_wfopen(m_journalPath.c_str(), L"rb");
    if (file == nullptr) {
        return bytes;
    }
    char buffer[4096];
    size_t size;
    while ((size = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, size);
    }
    std::fclose(file);
    return bytes;
}

std::vector<std::string> SimProcess::JournalLines() const {
    std::vector<std::string> lines;
    const std::string bytes = JournalBytes();
    size_t start = 0;
    for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(bytes.substr(start, end - start));
    }
    if (start < bytes.size()) {
        lines.push_back(bytes.substr(start) + "<no line feed>");
    }
    return lines;
}

HWND SimProcess::mainWindow() const {
    WindowSearch search{m_process.dwProcessId, nullptr};
    ::EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
