#include "base/char_class.h"

#include <gtest/gtest.h>

namespace {

struct CaseBlindRow {
    const char* text;
    const char* other;
    bool equal;
    bool startsWith;
};

TEST(CharClass, ComparesAsciiLettersCaseBlindOnly) {
    const CaseBlindRow rows[] = {
        {"--HELP", "--help", true, true},
        {"Http://h", "http://", false, true},
        {"http", "http://", false, false},
        {"\xc3\x84", "\xc3\xa4", false, false},  // only ASCII letters fold
        {"@", "`", false, false},                // the neighbours of 'A' and 'a' do not
        {"", "", true, true},
    };
    for (const CaseBlindRow& row : rows) {
        EXPECT_EQ(charclass::equalsIgnoreCase(row.text, row.other), row.equal) << row.text;
        EXPECT_EQ(charclass::startsWithIgnoreCase(row.text, row.other), row.startsWith) << row.text;
    }
}

TEST(CharClass, BlanksAreTheFourXmlOnesAndCSpaceAddsVtabAndFormFeed) {
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        const bool xmlBlank = c == ' ' || c == '\t' || c == '\n' || c == '\r';
        EXPECT_EQ(charclass::isBlank(ch), xmlBlank) << c;
        EXPECT_EQ(charclass::isCSpace(ch), xmlBlank || c == '\v' || c == '\f') << c;
        EXPECT_EQ(charclass::isDigit(ch), c >= '0' && c <= '9') << c;
    }
}

}  // namespace
