#include "app/diagnostics/log_line.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "base/utf8.h"

namespace diagnostics {
namespace {

// Seconds between 1601-01-01 and 1970-01-01, in file-time units.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;
constexpr uint64_t kFileTimeUnitsPerMs = 10000;

LocalTimestamp fromUnixMilliseconds(int64_t milliseconds) {
    const std::time_t seconds = static_cast<std::time_t>(milliseconds / 1000);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &seconds);
#else
    localtime_r(&seconds, &parts);
#endif
    return LocalTimestamp{parts.tm_year + 1900,
                          parts.tm_mon + 1,
                          parts.tm_mday,
                          parts.tm_hour,
                          parts.tm_min,
                          parts.tm_sec,
                          static_cast<int>(milliseconds % 1000)};
}

const char* const kReplacement = "\xEF\xBF\xBD";

}  // namespace

LocalTimestamp localNow() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return fromUnixMilliseconds(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
}

LocalTimestamp localTimeOfFileTime(uint64_t fileTime) {
    const uint64_t since1970 =
        fileTime > kUnixEpochAsFileTime ? fileTime - kUnixEpochAsFileTime : 0;
    return fromUnixMilliseconds(static_cast<int64_t>(since1970 / kFileTimeUnitsPerMs));
}

std::string formatTimestamp(const LocalTimestamp& t) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond);
    return text;
}

std::string formatTimestampSeconds(const LocalTimestamp& t) {
    return formatTimestamp(t).substr(0, 19);
}

std::string singleLine(std::string_view event) {
    std::string line(event);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') {
            c = ' ';
        }
    }
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string validUtf8(std::string_view text) {
    if (isValidUtf8(text)) {
        return std::string(text);
    }
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        // The longest well-formed sequence starting here (1 to 4 bytes), else one bad byte.
        std::size_t length = 4;
        while (length > 0 && (i + length > text.size() || !isValidUtf8(text.substr(i, length)))) {
            --length;
        }
        if (length == 0) {
            out += kReplacement;
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

}  // namespace diagnostics
