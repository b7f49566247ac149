#include "app/bridge_run.h"

#include "app/diagnostics/std_log_file.h"
#include "app/windows_command_line.h"
#include "framework/text_conversion.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

namespace {

constexpr int kExitBadCommandLine = 2;
constexpr DWORD kFindRunningBridgeMs = 800;
constexpr wchar_t kBoxCaption[] = L"Varnock";

void showBox(const std::string& utf8Text, UINT icon) {
    ::MessageBoxW(nullptr, WidenUtf8(utf8Text).c_str(), kBoxCaption, MB_OK | icon);
}

// The log's path as the user will look for it: relative names resolved against the folder
// Varnock was started in.
std::string absolutePath(const std::string& utf8Path) {
    std::error_code error;
    const std::filesystem::path path =
        std::filesystem::absolute(std::filesystem::u8path(utf8Path), error);
    return error ? utf8Path : path.u8string();
}

}  // namespace

std::optional<int> BridgeRun::Start(const wchar_t* commandLine) {
    using bridgeoptions::CommandLineOutcome;
    const bridgeoptions::ParsedCommandLine parsed =
        bridgeoptions::parseCommandLine(CommandLineArguments(commandLine, ModulePath().c_str()));
    if (parsed.outcome == CommandLineOutcome::Help) {
        showBox(bridgeoptions::usageText(), MB_ICONINFORMATION);
        return 0;
    }
    if (parsed.outcome == CommandLineOutcome::Error) {
        showBox(parsed.problem + "\n\n" + bridgeoptions::usageText(), MB_ICONERROR);
        return kExitBadCommandLine;
    }
    m_options = parsed.options;
    m_instance = std::make_unique<InstanceLock>(bridgeoptions::kInstanceName);
    if (!m_instance->Acquired()) {
        m_instance->BringRunningBridgeToFront(kFindRunningBridgeMs);
        return 0;
    }
    return OpenLog();
}

std::optional<int> BridgeRun::OpenLog() {
    if (m_options.logFile.empty()) {
        return std::nullopt;
    }
    const std::string path = absolutePath(m_options.logFile);
    std::string problem;
    std::unique_ptr<diagnostics::StdLogFile> file = diagnostics::StdLogFile::open(path, problem);
    if (!file) {
        showBox("The log file cannot be opened:\n" + path + "\n" + problem, MB_ICONERROR);
        return kExitBadCommandLine;
    }
    m_log = std::make_unique<diagnostics::DiagnosticLog>(std::move(file));
    Note("Varnock " VARNOCK_VERSION " started; fldigi at " + FldigiEndpoint() + "; log " + path);
    return std::nullopt;
}

void BridgeRun::Note(const std::string& event) {
    if (m_log) {
        m_log->write(event);
    }
}
