#include "app/poll/ledger_progress.h"

#include <cstdio>

#include "base/char_class.h"

namespace pollcycle {
namespace {

int hexDigit(char c) {
    if (charclass::isDigit(c)) {
        return c - '0';
    }
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool readOffset(std::string_view text, uint64_t& offset) {
    offset = 0;
    if (text.empty() || text.size() > 19) {
        return false;
    }
    for (const char c : text) {
        if (!charclass::isDigit(c)) {
            return false;
        }
        offset = offset * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

bool readHash(std::string_view text, uint64_t& hash) {
    hash = 0;
    if (text.size() != 16) {
        return false;
    }
    for (const char c : text) {
        const int digit = hexDigit(c);
        if (digit < 0) {
            return false;
        }
        hash = (hash << 4) | static_cast<uint64_t>(digit);
    }
    return true;
}

}  // namespace

uint64_t contentHash(std::string_view bytes) {
    uint64_t hash = 14695981039346656037ULL;
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

std::string formatLedgerProgress(const LedgerProgress& progress) {
    std::string text;
    for (const auto& [name, saved] : progress) {
        char numbers[48];
        std::snprintf(numbers, sizeof numbers, " %llu %016llx\n",
                      static_cast<unsigned long long>(saved.offset),
                      static_cast<unsigned long long>(saved.hash));
        text += name + numbers;
    }
    return text;
}

LedgerProgress parseLedgerProgress(std::string_view text) {
    LedgerProgress progress;
    while (!text.empty()) {
        const std::size_t lineEnd = text.find('\n');
        std::string_view line = text.substr(0, lineEnd);
        text = lineEnd == std::string_view::npos ? std::string_view() : text.substr(lineEnd + 1);
        const std::size_t hashStart = line.rfind(' ');
        if (hashStart == std::string_view::npos || hashStart == 0) {
            continue;
        }
        const std::size_t offsetStart = line.rfind(' ', hashStart - 1);
        if (offsetStart == std::string_view::npos || offsetStart == 0) {
            continue;
        }
        SavedUpTo saved;
        if (readOffset(line.substr(offsetStart + 1, hashStart - offsetStart - 1), saved.offset) &&
            readHash(line.substr(hashStart + 1), saved.hash)) {
            progress[std::string(line.substr(0, offsetStart))] = saved;
        }
    }
    return progress;
}

}  // namespace pollcycle
