#include "app/windows_command_line.h"

#include "base/kernel_handle.h"
#include "framework/text_conversion.h"

#include <windows.h>

#include <shellapi.h>

namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

bool equalIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           (a.empty() || ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL);
}

// `modulePath` ends with `name` after a path separator (or is it).
bool endsWithName(std::wstring_view modulePath, std::wstring_view name) {
    if (name.empty() || name.size() > modulePath.size()) {
        return false;
    }
    const size_t start = modulePath.size() - name.size();
    const bool boundary =
        start == 0 || modulePath[start - 1] == L'\\' || modulePath[start - 1] == L'/';
    return boundary && equalIgnoringCase(modulePath.substr(start), name);
}

// `candidate` (a start of the command line) names the module, as Windows would have found it.
bool namesModule(std::wstring_view candidate, std::wstring_view modulePath) {
    constexpr std::wstring_view kExe = L".exe";
    if (endsWithName(modulePath, candidate)) {
        return true;
    }
    return modulePath.size() > kExe.size() &&
           equalIgnoringCase(modulePath.substr(modulePath.size() - kExe.size()), kExe) &&
           endsWithName(modulePath.substr(0, modulePath.size() - kExe.size()), candidate);
}

std::wstring_view skipBlanks(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    return text.substr(i);
}

}  // namespace

std::wstring_view CommandLineAfterProgram(std::wstring_view commandLine,
                                          std::wstring_view modulePath) {
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const size_t closing = commandLine.find(L'"', 1);
        return closing == std::wstring_view::npos ? std::wstring_view()
                                                  : skipBlanks(commandLine.substr(closing + 1));
    }
    size_t firstWordEnd = std::wstring_view::npos;
    for (size_t end = 0; end <= commandLine.size(); ++end) {
        if (end < commandLine.size() && !isBlank(commandLine[end])) {
            continue;
        }
        if (firstWordEnd == std::wstring_view::npos) {
            firstWordEnd = end;
        }
        if (namesModule(commandLine.substr(0, end), modulePath)) {
            return skipBlanks(commandLine.substr(end));
        }
    }
    return skipBlanks(commandLine.substr(firstWordEnd));
}

std::vector<std::string> CommandLineArguments(const wchar_t* commandLine,
                                              const wchar_t* modulePath) {
    const std::wstring_view rest = CommandLineAfterProgram(
        commandLine != nullptr ? commandLine : L"", modulePath != nullptr ? modulePath : L"");
    std::vector<std::string> arguments;
    if (rest.empty()) {
        return arguments;
    }
    // A stand-in program name in front, so that the rest is split by the rules for arguments.
    const std::wstring line = L"x " + std::wstring(rest);
    int count = 0;
    const LocalMemory<LPWSTR*> split(::CommandLineToArgvW(line.c_str(), &count));
    for (int i = 1; split && i < count; ++i) {
        arguments.push_back(ToUtf8(split.get()[i]));
    }
    return arguments;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return L"";
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
}
