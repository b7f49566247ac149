#include <vector>

#include "fuzz/reference/reference.h"

namespace reference {
namespace {

// The 6-bit value of an alphabet character, 64 for '=', -1 for a byte that is passed over.
int significance(char c) {
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (c == '=') {
        return 64;
    }
    const size_t at = alphabet.find(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

}  // namespace

std::string base64Bytes(const char* start, const char* end) {
    std::vector<int> values;
    for (const char* p = start; p < end; ++p) {
        if (significance(*p) >= 0) {
            values.push_back(significance(*p));
        }
    }
    std::string bytes;
    for (size_t g = 0; g < values.size(); g += 4) {
        const size_t left = values.size() - g;
        const int a = values[g];
        const int b = left > 1 ? values[g + 1] : -1;
        const int c = left > 2 ? values[g + 2] : -1;
        const int d = left > 3 ? values[g + 3] : -1;
        if (a == 64 || b < 0 || b == 64 || c < 0) {
            break;
        }
        const int first = a * 4 + b / 16;
        if (c == 64) {
            bytes += static_cast<char>(first);
            break;
        }
        if (d < 0) {
            break;
        }
        bytes += static_cast<char>(first);
        bytes += static_cast<char>((b % 16) * 16 + c / 4);
        if (d == 64) {
            break;
        }
        bytes += static_cast<char>((c % 4) * 64 + d);
    }
    return bytes;
}

}  // namespace reference
