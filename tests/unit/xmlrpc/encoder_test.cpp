#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/xmlrpc/test_values.h"
#include "xmlrpc/core/value_io.h"

namespace {

std::string encode(const XmlRpcValue& v) {
    std::string out;
    writeValue(v, out);
    return out;
}

TEST(Encoder, WritesEachKindCompactly) {
    const std::vector<std::pair<XmlRpcValue, std::string>> cases = {
        {Int(0), "<value><i4>0</i4></value>"},
        {Int(-5), "<value><i4>-5</i4></value>"},
        {Int(2147483647), "<value><i4>2147483647</i4></value>"},
        {Bool(true), "<value><boolean>1</boolean></value>"},
        {Bool(false), "<value><boolean>0</boolean></value>"},
        {Dbl(0.1), "<value><double>0.1</double></value>"},
        {Dbl(2.5), "<value><double>2.5</double></value>"},
        {Dbl(100.0), "<value><double>100</double></value>"},
        {Dbl(123456789.0), "<value><double>1.23457e+008</double></value>"},
        {Dbl(0.00001), "<value><double>1e-005</double></value>"},
        {Dbl(-1e-100), "<value><double>-1e-100</double></value>"},
        {Str("a<b"), "<value>a&lt;b</value>"},
        {Str("  lead"), "<value>  lead</value>"},
        {Str("\tx\n"), "<value>&#9;x&#10;</value>"},
        {Str("\xc3\xa9"), "<value>&#195;&#169;</value>"},
        {Str(""), "<value><string/></value>"},
        {Nil(), "<value><nil/></value>"},
        {Time(2024, 2, 15, 8, 45, 30),
         "<value><dateTime.iso8601>20240315T08:45:30</dateTime.iso8601></value>"},
        {Bytes("ABC"), "<value><base64>QUJD</base64></value>"},
        {Arr({}), "<value><array><data></data></array></value>"},
        {Arr({Int(1), Str("x")}),
         "<value><array><data><value><i4>1</i4></value><value>x</value></data></array></value>"},
        {Rec({}), "<value><struct></struct></value>\n"},
        {Rec({{"b", Int(2)}, {"A", Int(1)}}),
         "<value><struct><member><name>A</name><value><i4>1</i4></value></member>"
         "<member><name>b</name><value><i4>2</i4></value></member></struct></value>\n"},
        {Rec({{"a&b", Nil()}}),
         "<value><struct><member><name>a&amp;b</name><value><nil/></value></member></struct>"
         "</value>\n"},
        {Arr({Rec({})}),
         "<value><array><data><value><struct></struct></value>\n</data></array></value>"},
        {Rec({{"s", Rec({})}}),
         "<value><struct><member><name>s</name><value><struct></struct></value>\n</member>"
         "</struct></value>\n"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(encode(value), text) << describe(value);
    }
}

TEST(Encoder, UndefinedAnywhereRaisesAfterWhatCameBefore) {
    XmlRpcValue array = Arr({Int(1)});
    array.append();  // Undefined element
    std::string out = "pre";
    EXPECT_EQ(raisedMessage([&] { writeValue(array, out); }), "Undefined XmlRpc value");
    EXPECT_EQ(out, "pre<value><array><data><value><i4>1</i4></value>");

    XmlRpcValue record;
    record.member("a") = Int(1);
    record.member("b");
    out.clear();
    EXPECT_EQ(raisedMessage([&] { writeValue(record, out); }), "Undefined XmlRpc value");
    EXPECT_EQ(out,
              "<value><struct><member><name>a</name><value><i4>1</i4></value></member>"
              "<member><name>b</name>");
}

std::string repeated(const std::string& piece, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// Base64 of `count` zero bytes, built line by line.
std::string zeroBytesBase64(size_t count) {
    std::string text;
    for (size_t group = 1; group <= count / 3; ++group) {
        text += group % 18 == 0 ? "AAAA\n" : "AAAA";
    }
    return text;
}

// Texts far longer than any internal buffer, and long arrays of short and long elements.
TEST(Encoder, LongTextsAndLongArraysComeOutWhole) {
    XmlRpcValue ints = Arr({});
    std::string intsText;
    for (int i = 0; i < 1000; ++i) {
        ints.append(Int(i * 7919 - 3000000));
        intsText += "<value><i4>" + std::to_string(i * 7919 - 3000000) + "</i4></value>";
    }
    // The first elements are short, the later ones far longer than their average.
    XmlRpcValue growing = Arr({});
    std::string growingText;
    for (int i = 0; i < 100; ++i) {
        const std::string text(i < 16 ? 1 : 500 + i, 'x');
        growing.append(Str(text.c_str()));
        growingText += "<value>" + text + "</value>";
    }
    XmlRpcValue blobs = Arr({});
    for (int i = 0; i < 70; ++i) {
        blobs.append(Bytes(std::string(2001, '\0')));
    }
    const std::string quotes(9000, '"');
    const std::string blobText = "<value><base64>" + zeroBytesBase64(2001) + "</base64></value>";

    const std::vector<std::pair<XmlRpcValue, std::string>> cases = {
        {Str((std::string(9000, 'a') + "&b").c_str()),
         "<value>" + std::string(9000, 'a') + "&amp;b</value>"},
        {Str(std::string(3000, '<').c_str()), "<value>" + repeated("&lt;", 3000) + "</value>"},
        {Str(std::string(3000, '\x01').c_str()), "<value>" + repeated("&#1;", 3000) + "</value>"},
        {Bytes(std::string(5400, '\0')),
         "<value><base64>" + zeroBytesBase64(5400) + "</base64></value>"},
        {Bytes(std::string(6001, '\0')),
         "<value><base64>" + zeroBytesBase64(6000) + "AA==</base64></value>"},
        {ints, "<value><array><data>" + intsText + "</data></array></value>"},
        {growing, "<value><array><data>" + growingText + "</data></array></value>"},
        {blobs, "<value><array><data>" + repeated(blobText, 70) + "</data></array></value>"},
        {Rec({{quotes.c_str(), Nil()}}),
         "<value><struct><member><name>" + repeated("&quot;", 9000) +
             "</name><value><nil/></value></member></struct></value>\n"},
    };
    for (const auto& [value, text] : cases) {
        std::string out = "pre";
        writeValue(value, out);
        EXPECT_EQ(out, "pre" + text) << describe(value).substr(0, 80);
    }
}

TEST(Encoder, UndefinedAfterLongTextKeepsAllTextBeforeIt) {
    XmlRpcValue array = Arr({Str(std::string(9000, 'x').c_str()), Int(1)});
    array.append();  // Undefined element
    std::string out = "pre";
    EXPECT_EQ(raisedMessage([&] { writeValue(array, out); }), "Undefined XmlRpc value");
    EXPECT_EQ(out, "pre<value><array><data><value>" + std::string(9000, 'x') +
                       "</value><value><i4>1</i4></value>");
}

TEST(Encoder, EncodedValuesDecodeToTheSameValue) {
    const std::vector<XmlRpcValue> values = {
        Int(-7),
        Bool(true),
        Dbl(2.5),
        Str("x & <y> \"z\" 'w'"),
        Str(""),
        Str("\ttab"),
        Nil(),
        Time(1999, 11, 31, 23, 59, 58),
        Bytes(std::string("\0\x01\xff", 3)),
        Arr({Arr({}), Rec({}), Str("deep")}),
        Rec({{"z", Arr({Int(1)})}, {"\xe9", Str("\xe9")}, {"", Bool(false)}}),
    };
    for (const XmlRpcValue& v : values) {
        std::string text = encode(v);
        XmlRpcValue back;
        const char* cursor = text.c_str();
        readValue(back, cursor);
        EXPECT_EQ(describe(back), describe(v)) << text;
        EXPECT_EQ(std::string(cursor), v.kind() == ValueKind::Struct ? "\n" : "");
    }
}

}  // namespace
