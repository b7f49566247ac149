#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/diagnostics/diagnostic_log.h"
#include "app/diagnostics/host_call_text.h"
#include "memory_log_file.h"

namespace diagnostics::testing {
namespace {

using ::testing::HasSubstr;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(LogLine, TimeToTheMillisecondThenTheEventOnOneLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"host attached", "2026-12-08 09:05:03.007 host attached\n"},
        {"error\r\n", "2026-12-08 09:05:03.007 error\n"},
        {"a\tb\nc", "2026-12-08 09:05:03.007 a b c\n"},
        {"M\xc3\xbcller", "2026-12-08 09:05:03.007 M\xc3\xbcller\n"},
        {"bad \xff byte \xd0", "2026-12-08 09:05:03.007 bad \xef\xbf\xbd byte \xef\xbf\xbd\n"},
    };
    for (const auto& [event, line] : cases) {
        MemoryFiles files;
        DiagnosticLog(std::make_unique<MemoryLogFile>(files), kLogLimitBytes, fixedTime)
            .write(event);
        EXPECT_EQ(files.current, line);
    }
}

TEST(LogLine, QuotingAsTheDemoPrints) {
    const std::pair<const char*, const char*> cases[] = {
        {"DL1ABC", "\"DL1ABC\""},
        {"Tom & \"Jerry\" <QRP>", "\"Tom & \\\"Jerry\\\" <QRP>\""},
        {"a\\b", "\"a\\\\b\""},
        {"1\n2\r3\t4\b5\f6\x01", "\"1\\n2\\r3\\t4\\b5\\f6\\u0001\""},
        {"\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd", "\"\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd\""},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(quoted(text), expected);
    }
}

TEST(LogLine, HostCallsAsTheDemoPrints) {
    const std::pair<std::string, const char*> cases[] = {
        {describeSetQsoField(0, "DL1ABC"), "SetQsoField call      = \"DL1ABC\""},
        {describeSetQsoField(2, "579"), "SetQsoField RST rcvd  = \"579\""},
        {describeSetQsoField(10, ""), "SetQsoField locator   = \"\""},
        {describeSetQsoField(6, "x"), "SetQsoField 6         = \"x\""},
        {describeFrequency(7036500.0), "Frequency   7036500.0 Hz"},
        {describeFrequency(0.0), "Frequency   0.0 Hz"},
        {describeRunMacro("<SAVEQSO>"), "RunMacro    <SAVEQSO>"},
        {describeMode("BPSK31"), "Mode        \"BPSK31\""},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(text, expected);
    }
}

TEST(LogLine, FileTimesInLocalTime) {
    // 1970-01-01 00:00:00 UTC plus 1.5 s, as the local clock shows it.
    const LocalTimestamp t = localTimeOfFileTime(116444736000000000ULL + 15000000ULL);
    EXPECT_EQ(t.second, 1);
    EXPECT_EQ(t.millisecond, 500);
    EXPECT_EQ(formatTimestampSeconds(t).size(), 19u);
}

TEST(LogLine, AnOverlongEventIsCutWithANote) {
    MemoryFiles files;
    DiagnosticLog log(std::make_unique<MemoryLogFile>(files), kLogLimitBytes, fixedTime);
    log.write(std::string(kLongestEvent + 100, 'x'));
    EXPECT_THAT(files.current, HasSubstr(" ... (100 bytes more)\n"));
    EXPECT_LT(files.current.size(), kLongestEvent + 64);
}

struct RotationCase {
    uint64_t limit;
    int lines;
    int rotations;
};

TEST(LogRotation, TheFileNeverPassesItsLimitAndTheNewestLinesAreKept) {
    const std::string line = "2026-12-08 09:05:03.007 event 0000\n";  // 35 bytes
    const RotationCase cases[] = {
        {35, 3, 2}, {70, 2, 0}, {70, 3, 1}, {100, 10, 4}, {kLogLimitBytes, 1000, 0},
    };
    for (const RotationCase& c : cases) {
        MemoryFiles files;
        DiagnosticLog log(std::make_unique<MemoryLogFile>(files), c.limit, fixedTime);
        for (int i = 0; i < c.lines; ++i) {
            char event[32];
            std::snprintf(event, sizeof event, "event %04d", i);
            log.write(event);
            ASSERT_LE(files.current.size(), c.limit);
            ASSERT_LE(files.older.size(), c.limit);
        }
        EXPECT_EQ(files.rotations, c.rotations) << c.limit << " " << c.lines;
        const std::vector<std::string> kept = linesOf(files.older + files.current);
        ASSERT_FALSE(kept.empty());
        char last[32];
        std::snprintf(last, sizeof last, "event %04d", c.lines - 1);
        EXPECT_THAT(kept.back(), HasSubstr(last));
        for (std::size_t i = 1; i < kept.size(); ++i) {
            EXPECT_LT(kept[i - 1].substr(24), kept[i].substr(24));  // in order
        }
    }
}

TEST(LogRotation, AFileThatCannotBeMovedStartsAnewAndSaysWhy) {
    MemoryFiles files;
    files.rotationProblem = "The file is in use.";
    DiagnosticLog log(std::make_unique<MemoryLogFile>(files), 40, fixedTime);
    log.write("first event");
    log.write("second event");
    EXPECT_EQ(files.older, "");
    EXPECT_EQ(linesOf(files.current),
              (std::vector<std::string>{"2026-12-08 09:05:03.007 the older log could not be kept "
                                        "as .1 (The file is in use.); this file starts anew",
                                        "2026-12-08 09:05:03.007 second event"}));
}

}  // namespace
}  // namespace diagnostics::testing
