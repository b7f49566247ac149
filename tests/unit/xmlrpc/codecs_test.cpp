#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/xmlrpc/test_values.h"
#include "xmlrpc/core/codecs.h"

namespace {

struct TimeCase {
    const char* text;
    const char* described;  // or the message raised
};

TEST(DateTimeCodec, ReadsCompactIsoForm) {
    const std::vector<TimeCase> cases = {
        {"20240315T08:45:30</x>", "t:2024-2-15 8:45:30"},
        {" 20240315T08:45:30Z</x>", "t:2024-2-15 8:45:30"},
        {"20240315T08:45:30.123+02:00<", "t:2024-2-15 8:45:30"},
        {"20241332T99:99:99<", "t:2024-12-32 99:99:99"},
        {"00010101T00:00:00<", "t:1-0-1 0:0:0"},
        {"-9990101T00:00:00<", "t:-999-0-1 0:0:0"},
        {"2024 3 5T 8: 4: 1<", "t:2024-2-5 8:4:1"},
        {"2024-03-15T08:45:30<", "Bad time value"},
        {"20240315 08:45:30<", "Bad time value"},
        {"20240315t08:45:30<", "Bad time value"},
        {"20240315T08:45<", "Bad time value"},
        {"20240315T08:45:30", "Bad time value"},  // no '<' at all
        {"<", "Bad time value"},
        {"", "Bad time value"},
    };
    for (const TimeCase& c : cases) {
        XmlRpcValue v;
        const char* cursor = c.text;
        std::string result = raisedMessage([&] { readDateTime(v, cursor); });
        if (result == "no exception") {
            EXPECT_EQ(describe(v), c.described) << c.text;
            EXPECT_EQ(*cursor, '<') << c.text;
            const DateTime& t = v.dateTimeValue();
            EXPECT_EQ(t.weekday, -1);
            EXPECT_EQ(t.yearDay, -1);
            EXPECT_EQ(t.isDst, -1);
        } else {
            EXPECT_EQ(result, c.described) << c.text;
            EXPECT_EQ(cursor, c.text) << c.text;
            EXPECT_EQ(v.kind(), ValueKind::Undefined) << c.text;
        }
    }
}

TEST(DateTimeCodec, WritesPaddedFields) {
    const std::vector<std::pair<XmlRpcValue, const char*>> cases = {
        {Time(2024, 2, 15, 8, 45, 30), "20240315T08:45:30"},
        {Time(99, 0, 1, 0, 0, 0), "  990101T00:00:00"},
        {Time(2024, 11, 31, 23, 59, 59), "20241231T23:59:59"},
        {Time(-5, -1, -2, 7, 7, 7), "  -500-2T07:07:07"},
        {Time(123456, 0, 1, 0, 0, 0), "1234560101T00:00:00"},
        // Longer than 29 characters: cut.
        {Time(-2000000000, 2000000000, -2000000000, -1, -1, -1), "-20000000002000000001-2000000"},
    };
    for (const auto& [value, text] : cases) {
        std::string out;
        writeDateTime(value, out);
        EXPECT_EQ(out,
                  std::string("<value><dateTime.iso8601>") + text + "</dateTime.iso8601></value>");
    }
}

TEST(DateTimeCodec, WrittenTextReadsBack) {
    XmlRpcValue v;
    const char* cursor = "20240315T08:45:30<";
    readDateTime(v, cursor);
    std::string out;
    writeDateTime(v, out);
    EXPECT_EQ(out, "<value><dateTime.iso8601>20240315T08:45:30</dateTime.iso8601></value>");
}

std::string decoded(const std::string& text) {
    ByteString bytes = "pre:";
    decodeBase64(text.data(), text.data() + text.size(), bytes);
    return bytes;
}

TEST(Base64Codec, DecodesLenientlyUpToPadding) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"QUJD", "ABC"},
        {"QUI=", "AB"},
        {"QQ==", "A"},
        {"QU JD", "ABC"},
        {"QU\r\nJD", "ABC"},
        {"QUI", ""},
        {"QUJDRA", "ABC"},
        {"QQ==QUJD", "A"},
        {"QQ=", "A"},
        {"QUJDQQ=", "ABCA"},
        {"", ""},
        {"   \n ", ""},
        {"=QUJD", ""},
        {"Q=", ""},
        {"Q", ""},
        {"-_Q\xc3UJD*", "ABC"},
        {"AAECAwQF", std::string("\0\1\2\3\4\5", 6)},
        {"//79", "\xff\xfe\xfd"},
        {"++++", "\xfb\xef\xbe"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(decoded(input), "pre:" + expected) << input;
    }
}

// Every way a text can end, after zero, one and many whole groups, with the characters written
// apart by nothing, blanks or line breaks.
TEST(Base64Codec, EveryEndingAfterWholeGroups) {
    const std::vector<std::pair<std::string, std::string>> endings = {
        {"", ""},      {"Q", ""},      {"QQ", ""},       {"QUI", ""},        {"QQ=", "A"},
        {"QQ==", "A"}, {"QUI=", "AB"}, {"QQ=QUJD", "A"}, {"QUI=QUJD", "AB"},
    };
    for (const std::string separator : {"", " ", "\r\n", " \t\n "}) {
        for (int groups : {0, 1, 5}) {
            for (const auto& [ending, expected] : endings) {
                std::string plain;
                for (int g = 0; g < groups; ++g) {
                    plain += "QUJD";
                }
                plain += ending;
                std::string text;
                for (char c : plain) {
                    text += separator + c;
                }
                std::string bytes;
                for (int g = 0; g < groups; ++g) {
                    bytes += "ABC";
                }
                EXPECT_EQ(decoded(text + separator), "pre:" + bytes + expected) << text;
            }
        }
    }
}

TEST(Base64Codec, EncodesWithLineFeedEvery72Characters) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ABC", "QUJD"}, {"AB", "QUI="},           {"A", "QQ=="},
        {"", ""},        {"\xff\xfe\xfd", "//79"}, {std::string("\0\0", 2), "AAA="},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(encodeBase64(input.data(), input.size()), expected);
    }
    const std::string line(72, 'A');  // base64 of 54 zero bytes
    EXPECT_EQ(encodeBase64(std::string(54, '\0').data(), 54), line + "\n");
    EXPECT_EQ(encodeBase64(std::string(55, '\0').data(), 55), line + "\nAA==");
    EXPECT_EQ(encodeBase64(std::string(108, '\0').data(), 108), line + "\n" + line + "\n");
    EXPECT_EQ(encodeBase64(std::string(57, '\0').data(), 57), line + "\nAAAA");
}

TEST(Base64Codec, AllBytesSurviveEncodeAndDecode) {
    std::string all;
    for (int i = 0; i < 1000; ++i) {
        all += static_cast<char>(i * 37 % 256);
    }
    std::string encoded = encodeBase64(all.data(), all.size());
    EXPECT_EQ(decoded(encoded), "pre:" + all);
}

TEST(Base64Codec, ReadsUpToNextTagAndWritesWholeElement) {
    XmlRpcValue v;
    const char* cursor = "QUJD</base64>";
    readBase64(v, cursor);
    EXPECT_EQ(describe(v), "b64\"ABC\"");
    EXPECT_STREQ(cursor, "</base64>");

    const char* noTag = "QUJD";
    cursor = noTag;
    XmlRpcValue untouched = Int(5);
    EXPECT_EQ(raisedMessage([&] { readBase64(untouched, cursor); }), "Bad base64");
    EXPECT_EQ(cursor, noTag);
    EXPECT_EQ(describe(untouched), "i:5");

    std::string out;
    writeBase64(Bytes("ABC"), out);
    writeBase64(Bytes(""), out);
    EXPECT_EQ(out, "<value><base64>QUJD</base64></value><value><base64></base64></value>");
}

}  // namespace
