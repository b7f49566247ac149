// kebrin-sim's command line.
#pragma once

#include <string>
#include <vector>

struct SimOptions {
    std::wstring journalPath;     // --journal FILE: one JSON line per accepted call
    std::wstring readyPath;       // --ready-file FILE: written once the object is reachable
    std::wstring controlPath;     // --control FILE: "fail", "busy", "ok" or "quit", polled
    bool failCalls = false;       // --fail-calls: every call returns an error
    long quitAfter = 0;           // --quit-after N: quit after the N-th call (0: never)
    bool registerOnly = false;    // --register: write the registration and exit
    bool takeOver = false;        // --take-over: register even where the ProgID names another
                                  // program (the real Kebrin), for this user, until put back
    bool unregisterOnly = false;  // --unregister: remove the registration and exit
};

inline constexpr wchar_t kSimUsage[] =
    L"usage: kebrin-sim [--journal FILE] [--ready-file FILE] [--control FILE] [--fail-calls]\n"
    L"                  [--quit-after N] [--take-over] | --register [--take-over] | --unregister\n";

// Parses the arguments after the program name; false (and `error` set) on a usage error.
bool ParseSimOptions(const std::vector<std::wstring>& args, SimOptions& options,
                     std::wstring& error);
