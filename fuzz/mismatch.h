// What a differential fuzz target does when the library and the reference disagree: prints
// the input and both results, then aborts so that the fuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

inline std::string printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 32 && c < 127 && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    return out;
}

[[noreturn]] inline void mismatch(const char* what, const std::string& input,
                                  const std::string& library, const std::string& reference) {
    std::fprintf(stderr,
                 "MISMATCH in %s\n  input:     \"%s\"\n  library:   \"%s\"\n"
                 "  reference: \"%s\"\n",
                 what, printable(input).c_str(), printable(library).c_str(),
                 printable(reference).c_str());
    std::abort();
}
