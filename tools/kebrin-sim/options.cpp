#include "tools/kebrin-sim/options.h"

#include <cwchar>

bool ParseSimOptions(const std::vector<std::wstring>& args, SimOptions& options,
                     std::wstring& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        auto value = [&](std::wstring& target) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = arg + L" needs a value";
                return false;
            }
            target = args[++i];
            return true;
        };
        if (arg == L"--journal") {
            if (!value(options.journalPath)) {
                return false;
            }
        } else if (arg == L"--ready-file") {
            if (!value(options.readyPath)) {
                return false;
            }
        } else if (arg == L"--control") {
            if (!value(options.controlPath)) {
                return false;
            }
        } else if (arg == L"--quit-after") {
            std::wstring number;
            if (!value(number)) {
                return false;
            }
            wchar_t* end = nullptr;
            const long count = std::wcstol(number.c_str(), &end, 10);
            if (end == number.c_str() || *end != L'\0' || count < 1) {
                error = L"--quit-after needs a positive number, not \"" + number + L"\"";
                return false;
            }
            options.quitAfter = count;
        } else if (arg == L"--fail-calls") {
            options.failCalls = true;
        } else if (arg == L"--register") {
            options.registerOnly = true;
        } else if (arg == L"--take-over") {
            options.takeOver = true;
        } else if (arg == L"--unregister") {
            options.unregisterOnly = true;
        } else {
            error = L"unknown argument \"" + arg + L"\"";
            return false;
        }
    }
    if (options.registerOnly && options.unregisterOnly) {
        error = L"--register and --unregister exclude each other";
        return false;
    }
    return true;
}
