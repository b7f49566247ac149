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

// "<begin>-<end>" with begin < end.
bool readRange(std::string_view text, ByteRange& range) {
    const std::size_t dash = text.find('-');
    return dash != std::string_view::npos && readOffset(text.substr(0, dash), range.begin) &&
           readOffset(text.substr(dash + 1), range.end) && range.begin < range.end;
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
        for (const ByteRange& range : saved.owed) {
            std::snprintf(numbers, sizeof numbers, " %llu-%llu ",
                          static_cast<unsigned long long>(range.begin),
                          static_cast<unsigned long long>(range.end));
            text += name + numbers +
                    (range.appendingAt == 0 ? std::string("aside")
                                            : "appending:" + std::to_string(range.appendingAt)) +
                    "\n";
        }
    }
    return text;
}

LedgerProgress parseLedgerProgress(std::string_view text) {
    LedgerProgress progress;
    std::map<std::string, std::vector<ByteRange>> owed;
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
        const std::string name(line.substr(0, offsetStart));
        const std::string_view middle = line.substr(offsetStart + 1, hashStart - offsetStart - 1);
        const std::string_view last = line.substr(hashStart + 1);
        ByteRange range;
        SavedUpTo saved;
        constexpr std::string_view kAppending = "appending:";
        if (last.substr(0, kAppending.size()) == kAppending &&
            readOffset(last.substr(kAppending.size()), range.appendingAt) &&
            range.appendingAt > 0 && readRange(middle, range)) {
            owed[name].push_back(range);
        } else if (last == "aside" && readRange(middle, range)) {
            owed[name].push_back(range);
        } else if (readOffset(middle, saved.offset) && readHash(last, saved.hash)) {
            progress[name] = saved;
        }
    }
    // A range counts only with its file's offset line, and only before that offset.
    for (auto& [name, ranges] : owed) {
        const auto file = progress.find(name);
        for (const ByteRange& range : ranges) {
            if (file != progress.end() && range.end <= file->second.offset) {
                file->second.owed.push_back(range);
            }
        }
    }
    return progress;
}

}  // namespace pollcycle
