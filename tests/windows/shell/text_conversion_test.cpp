// Which 8-bit texts are read as UTF-8, what they become in wide characters, and UTF-16 to
// UTF-8.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/text_conversion.h"

namespace {

struct DecisionCase {
    const char* what;
    std::string bytes;
    bool utf8;
};

const DecisionCase kDecisionCases[] = {
    {"empty", "", false},
    {"pure ASCII", "DL1ABC <SAVEQSO> 14070.000", false},
    {"two-byte sequence", "M\xC3\xBCller", true},
    {"Cyrillic in UTF-8", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", true},
    {"three-byte sequence", "\xE2\x82\xAC 5", true},
    {"four-byte sequence", "\xF0\x9F\x98\x80", true},
    {"last before the surrogates U+D7FF", "\xED\x9F\xBF", true},
    {"first after the surrogates U+E000", "\xEE\x80\x80", true},
    {"highest code point U+10FFFF", "\xF4\x8F\xBF\xBF", true},
    {"lowest two-byte U+0080", "\xC2\x80", true},
    {"lowest three-byte U+0800", "\xE0\xA0\x80", true},
    {"lowest four-byte U+10000", "\xF0\x90\x80\x80", true},
    {"CP1251 Ivan", "\xC8\xE2\xE0\xED", false},
    {"CP1251 Mueller", "\xCC\xFE\xEB\xEB\xE5\xF0", false},
    {"CP1251 yo alone", "\xB8", false},
    {"Latin-1 u-umlaut", "M\xFCller", false},
    {"overlong slash C0 AF", "\xC0\xAF", false},
    {"overlong C1 BF", "\xC1\xBF", false},
    {"overlong three-byte E0 80 AF", "\xE0\x80\xAF", false},
    {"overlong four-byte F0 80 80 AF", "\xF0\x80\x80\xAF", false},
    {"high surrogate U+D800", "\xED\xA0\x80", false},
    {"low surrogate U+DFFF", "\xED\xBF\xBF", false},
    {"above U+10FFFF", "\xF4\x90\x80\x80", false},
    {"lead byte F5", "\xF5\x80\x80\x80", false},
    {"byte FF", "a\xFF", false},
    {"lone continuation byte", "\x80", false},
    {"truncated two-byte at end", "abc\xC3", false},
    {"truncated three-byte at end", "\xE2\x82", false},
    {"continuation missing in the middle",
     "\xE2\x82"
     "A",
     false},
    {"valid then invalid", "\xC3\xBC\xC3", false},
    // CP1251 "R" + "yo" happens to form UTF-8 for U+0438: such a text is taken as UTF-8.
    {"CP1251 text that is also valid UTF-8", "\xD0\xB8", true},
};

TEST(TextConversion, DecodesAsUtf8OnlyWellFormedNonAsciiText) {
    for (const DecisionCase& row : kDecisionCases) {
        EXPECT_EQ(decodeAsUtf8(row.bytes), row.utf8) << row.what;
    }
}

struct ConversionCase {
    const char* what;
    std::string bytes;
    std::wstring wide;
};

const ConversionCase kConversionCases[] = {
    {"empty", "", L""},
    {"ASCII", "DL1ABC", L"DL1ABC"},
    {"UTF-8 Mueller", "M\xC3\xBCller", L"M\u00FCller"},
    {"UTF-8 Ivan", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", L"\u0418\u0432\u0430\u043D"},
    {"CP1251 Ivan", "\xC8\xE2\xE0\xED", L"\u0418\u0432\u0430\u043D"},
    {"CP1251 yo", "\xB8\xEB\xEA\xE0", L"\u0451\u043B\u043A\u0430"},
    {"broken UTF-8 falls back to CP1251", "abc\xC3", L"abc\u0413"},
    {"four-byte UTF-8 becomes a surrogate pair", "\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
};

TEST(TextConversion, WideningGivesTheIntendedCharacters) {
    ASSERT_EQ(::GetACP(), 1251u) << "these rows assume the Cyrillic ANSI code page";
    for (const ConversionCase& row : kConversionCases) {
        EXPECT_EQ(WidenText(row.bytes), row.wide) << row.what;
    }
}

// fldigi's texts are decoded by the same rule, into UTF-8, and reach the host from there.
TEST(TextConversion, DecodingToUtf8ReadsAsWideningDoes) {
    ASSERT_EQ(::GetACP(), 1251u) << "these rows assume the Cyrillic ANSI code page";
    for (const ConversionCase& row : kConversionCases) {
        const std::string utf8 = Utf8FromAnsiOrUtf8(row.bytes);
        EXPECT_EQ(utf8, ToUtf8(row.wide)) << row.what;
        EXPECT_EQ(WidenUtf8(utf8), row.wide) << row.what;
    }
}

struct Utf16Case {
    const char* what;
    std::wstring wide;
    std::string bytes;
};

const Utf16Case kUtf16Cases[] = {
    {"empty", L"", ""},
    {"ASCII", L"DL1ABC", "DL1ABC"},
    {"highest one-byte U+007F", L"\x7F", "\x7F"},
    {"lowest two-byte U+0080", L"\x80", "\xC2\x80"},
    {"Cyrillic", L"\u0418\u0432\u0430\u043D", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD"},
    {"highest two-byte U+07FF", L"\x7FF", "\xDF\xBF"},
    {"lowest three-byte U+0800", L"\x800", "\xE0\xA0\x80"},
    {"highest three-byte U+FFFF", L"\xFFFF", "\xEF\xBF\xBF"},
    {"surrogate pair U+1F600", L"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
    {"highest code point U+10FFFF", L"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF"},
    {"lone high surrogate", L"\xD800x", "\xEF\xBF\xBDx"},
    {"high surrogate at the end", L"a\xDBFF", "a\xEF\xBF\xBD"},
    {"lone low surrogate", L"\xDC00", "\xEF\xBF\xBD"},
    {"low before high", L"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"embedded NUL kept", std::wstring(L"a\0b", 3), std::string("a\0b", 3)},
};

TEST(TextConversion, Utf16BecomesValidUtf8) {
    for (const Utf16Case& row : kUtf16Cases) {
        const std::string bytes = ToUtf8(row.wide);
        EXPECT_EQ(bytes, row.bytes) << row.what;
        EXPECT_TRUE(isValidUtf8(bytes)) << row.what;
    }
}

}  // namespace
