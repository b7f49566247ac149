// The pieces of a diagnostic log line: the local time stamp and readable texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace diagnostics {

struct LocalTimestamp {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The machine's local time now.
LocalTimestamp localNow();
// A file time (100 ns units since 1601-01-01 UTC) in local time.
LocalTimestamp localTimeOfFileTime(uint64_t fileTime);

// "2026-12-08 10:31:02.123"
std::string formatTimestamp(const LocalTimestamp& time);
// "2026-12-08 10:31:02", for times that are not events of the log.
std::string formatTimestampSeconds(const LocalTimestamp& time);

// The event as one line: control characters (CR, LF, tab and the rest) become spaces, and
// trailing spaces go.
std::string singleLine(std::string_view event);

// A text in double quotes with JSON escapes (\" \\ \n \r \t \u00XX); other characters are kept.
std::string quoted(std::string_view text);

// Bytes that are not well-formed UTF-8 become U+FFFD, so the log stays valid UTF-8.
std::string validUtf8(std::string_view text);

}  // namespace diagnostics
