#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/unit/xmlrpc/test_values.h"
#include "xmlrpc/core/scanner.h"

namespace {

struct TagCase {
    std::string text;
    std::string tag;
    std::string rest;  // text left at the cursor
};

TEST(ReadTag, NormalisesBlanks) {
    const std::vector<TagCase> cases = {
        {"  \r\n<value>x", "<value>", "x"},
        {"x<value>", "", "x<value>"},
        {" \t x", "", "x"},
        {"", "", ""},
        {"< / value >", "</value>", ""},
        {"<value />", "<value/>", ""},
        {"<a   b='1'  >rest", "<a b='1'>", "rest"},
        {"<value", "<value>", ""},
        {"<", "<>", ""},
        {"<\tvalue>", "<value>", ""},
        {"<va\tlue>", "<va\tlue>", ""},
        {"<a\t >", "<a\t>", ""},
        {"<a \t>", "<a \t>", ""},
        {"<?xml version=\"1.0\" ?>\n<m>", "<?xml version=\"1.0\" ?>", "\n<m>"},
        {"<  ?xml  version=\"1.0\"?>", "<?xml version=\"1.0\"?>", ""},
        {"<nil / >", "<nil/>", ""},
        {"<a/ b>", "<a/b>", ""},
        {"<value><i4>", "<value>", "<i4>"},
    };
    for (const TagCase& c : cases) {
        const char* cursor = c.text.c_str();
        char buffer[TagBufferSize];
        char* tag = readTag(cursor, buffer);
        EXPECT_EQ(tag, buffer);
        EXPECT_EQ(std::string(tag), c.tag) << c.text;
        EXPECT_EQ(std::string(cursor), c.rest) << c.text;
    }
}

TEST(ReadTag, LongTagIsCutAndNothingIsWrittenPastTheBuffer) {
    const std::string name(300, 'n');
    const std::string text = "<" + name + ">after";
    const char* cursor = text.c_str();
    char buffer[TagBufferSize + 8];
    std::memset(buffer, '#', sizeof buffer);
    readTag(cursor, buffer);
    EXPECT_EQ(std::string(buffer), "<" + std::string(125, 'n') + ">");
    EXPECT_EQ(std::strlen(buffer), TagBufferSize - 1);
    for (size_t i = TagBufferSize; i < sizeof buffer; ++i) {
        EXPECT_EQ(buffer[i], '#');
    }
    EXPECT_STREQ(cursor, "after");

    // Exactly fitting: 126 characters before '>'.
    const std::string fits = "<" + std::string(125, 'f') + ">";
    cursor = fits.c_str();
    readTag(cursor, buffer);
    EXPECT_EQ(std::string(buffer), fits);
}

TEST(ExpectTag, ComparesWholeTagCaseBlind) {
    struct Case {
        const char* text;
        const char* tag;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"<value>", "<VALUE>", "no exception"},
        {" <VaLuE >", "<value>", "no exception"},
        {"<param>", "<params>", "Expecting tag: <params>"},
        {"<params>", "<param>", "Expecting tag: <param>"},
        {"text", "</value>", "Expecting tag: </value>"},
        {"", "</struct>", "Expecting tag: </struct>"},
    };
    for (const Case& c : cases) {
        const char* cursor = c.text;
        EXPECT_EQ(raisedMessage([&] { expectTag(cursor, c.tag); }), c.message) << c.text;
    }
}

std::string decoded(const std::string& text) {
    char* out = decodeEntities(text.data(), text.data() + text.size());
    std::string result(out);
    std::free(out);
    return result;
}

TEST(DecodeEntities, ResolvesKnownFormsOnly) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a&lt;b&gt;c&amp;d&quot;e&apos;f&#039;g", "a<b>c&d\"e'f'g"},
        {"&#65;&#66", "AB"},
        {"&AMP;", "&AMP;"},
        {"&nbsp;", "&nbsp;"},
        {"&", "&"},
        {"x&", "x&"},
        {"&amp", "&amp"},
        {"&amp;amp;", "&amp;"},
        {"&#233;", "\xe9"},
        {"&#195;&#169;", "\xc3\xa9"},
        {"&#9;&#10;&#13;", "\t\n\r"},
        {"&#321;", "A"},  // low 8 bits of 321
        {"&#-191;", "A-191;"},
        {"&#99999999999;", "\xff"},  // clamped to 2147483647
        // References that would give a zero byte stay as text.
        {"&#x41;", "&#x41;"},
        {"&#0;", "&#0;"},
        {"&#256;z", "&#256;z"},
        {"&#;", "&#;"},
        {"&#", "&#"},
        {"&#-99999999999;", "&#-99999999999;"},  // clamped to -2147483648
        {"plain text", "plain text"},
        {"", ""},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(decoded(input), expected) << input;
    }
}

TEST(DecodeEntities, StaysInsideItsRange) {
    const char text[] = "&#65;&amp;&#66;";
    char* out = decodeEntities(text, text + 4);  // "&#65" of a longer text
    EXPECT_STREQ(out, "A");
    std::free(out);
    out = decodeEntities(text + 5, text + 9);  // "&amp" cut before ';'
    EXPECT_STREQ(out, "&amp");
    std::free(out);
}

TEST(EncodeEntities, EscapesMarkupAndNonPrintables) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a<b & 'c'", "a&lt;b &amp; &apos;c&apos;"},
        {"\"x\">", "&quot;x&quot;&gt;"},
        {"\xe9", "&#233;"},
        {"\xc3\xa9", "&#195;&#169;"},
        {"\t\n\r", "&#9;&#10;&#13;"},
        {"\x01\x7f\xff", "&#1;&#127;&#255;"},
        {" ~", " ~"},
        {"", ""},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(encodeEntities(input.c_str()), expected) << input;
    }
}

TEST(EncodeEntities, DecodingGivesEveryByteBack) {
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    EXPECT_EQ(decoded(encodeEntities(all.c_str())), all);
}

}  // namespace
