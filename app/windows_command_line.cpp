#include "app/windows_command_line.h"

#include "framework/text_conversion.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>

namespace {

struct LocalFreer {
    void operator()(LPWSTR* block) const { ::LocalFree(block); }
};

}  // namespace

std::vector<std::string> CommandLineArguments(const wchar_t* commandLine) {
    std::vector<std::string> arguments;
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> split(::CommandLineToArgvW(commandLine, &count));
    for (int i = 1; split && i < count; ++i) {
        arguments.push_back(ToUtf8(split.get()[i]));
    }
    return arguments;
}
