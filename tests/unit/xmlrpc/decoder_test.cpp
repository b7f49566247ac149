#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/xmlrpc/test_values.h"
#include "xmlrpc/core/value_io.h"

namespace {

struct DecodeCase {
    std::string text;
    std::string expected;  // describe() of the value, or "!" + the message raised
};

// Decodes `text`; returns the description or "!" + message. The value must stay clearable.
std::string decode(const std::string& text, std::string* rest = nullptr) {
    XmlRpcValue v = Str("previous");
    const char* cursor = text.c_str();
    std::string result;
    try {
        readValue(v, cursor);
        result = describe(v);
    } catch (const XmlRpcException& e) {
        result = "!" + e.message;
        describe(v);  // whatever was built so far is a consistent value
    }
    if (rest != nullptr) {
        *rest = cursor;
    }
    v.clear();
    return result;
}

void expectAll(const std::vector<DecodeCase>& cases) {
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(decode(c.text), c.expected) << c.text;
    }
}

TEST(Decoder, Strings) {
    expectAll({
        {"<value>abc</value>", "s\"abc\""},
        {"<value>  abc  </value>", "s\"abc  \""},
        {"<value><string>  abc </string></value>", "s\"  abc \""},
        {"<value/>", "s\"\""},
        {"<value></value>", "s\"\""},
        {"<value><string/></value>", "s\"\""},
        {"<value><string></string></value>", "s\"\""},
        {"<value><STRING>x</String></value>", "s\"x\""},
        {"<value>a&lt;b&amp;&#233;</value>", "s\"a<b&\xe9\""},
        {"<value>\xc3\xa9t\xc3\xa9</value>", "s\"\xc3\xa9t\xc3\xa9\""},
        {"<value>&#0;end</value>", "s\"&#0;end\""},
        {"<value>line\r\nbreak</value>", "s\"line\r\nbreak\""},
        {"<value>abc", "!Bad string"},
        {"<value><string>abc", "!Bad string"},
        {"<value>abc</string>", "!Expecting tag: </value>"},
    });
}

TEST(Decoder, Numbers) {
    expectAll({
        {"<value><I4>7</I4></value>", "i:7"},
        {"<value><int>-12</int></value>", "i:-12"},
        {"<value><i4> 42 </i4></value>", "i:42"},
        {"<value><i4>+3</i4></value>", "i:3"},
        {"<value><i4>99999999999</i4></value>", "i:2147483647"},
        {"<value><i4>-99999999999</i4></value>", "i:-2147483648"},
        {"<value><i4>2147483648</i4></value>", "i:2147483647"},
        {"<value><i4>42abc</i4></value>", "!Expecting tag: </i4>"},
        {"<value><i4></i4></value>", "!Bad int"},
        {"<value><int>abc</int></value>", "!Bad int"},
        {"<value><i4>-</i4></value>", "!Bad int"},
        {"<value><i4>7</int></value>", "!Expecting tag: </i4>"},
        {"<value><double>2.5</double></value>", "d:2.5"},
        {"<value><double>.5</double></value>", "d:0.5"},
        {"<value><double>-1e3</double></value>", "d:-1000"},
        {"<value><double> 1E-2 </double></value>", "d:0.01"},
        {"<value><double>1e999</double></value>", "d:inf"},
        {"<value><double>1,5</double></value>", "!Expecting tag: </double>"},
        {"<value><double></double></value>", "!Bad double"},
        {"<value><double>x</double></value>", "!Bad double"},
        {"<value><double>0x1p3</double></value>", "d:8"},
        {"<value><double>-0X1.8P1</double></value>", "d:-3"},
        {"<value><double>INF</double></value>", "d:inf"},
        {"<value><double>-Infinity</double></value>", "d:-inf"},
        {"<value><double>nAn</double></value>", "d:nan"},
        {"<value><double>0x</double></value>", "!Expecting tag: </double>"},
    });
}

TEST(Decoder, BooleansAndNil) {
    expectAll({
        {"<value><boolean>1</boolean></value>", "b:1"},
        {"<value><boolean>0</boolean></value>", "b:0"},
        {"<value><boolean>true</boolean></value>", "!bad BOOL"},
        {"<value><boolean> 1</boolean></value>", "!bad BOOL"},
        {"<value><boolean>1 </boolean></value>", "!bad BOOL"},
        {"<value><boolean>2</boolean></value>", "!bad BOOL"},
        {"<value><boolean>1", "!bad BOOL"},
        {"<value><boolean>", "!bad BOOL"},
        {"<value><boolean/></value>", "!Unknown type tag: <boolean/>"},
        {"<value><nil/></value>", "nil"},
        {"<value><nil /></value>", "nil"},
        {"<value>< NIL / ></value>", "nil"},
        {"<value><nil></nil></value>", "!Unknown type tag: <nil>"},
    });
}

TEST(Decoder, DateTimeAndBase64) {
    expectAll({
        {"<value><dateTime.iso8601>20240315T08:45:30</dateTime.iso8601></value>",
         "t:2024-2-15 8:45:30"},
        {"<value><DATETIME.ISO8601>20240315T08:45:30Z</datetime.iso8601></value>",
         "t:2024-2-15 8:45:30"},
        {"<value><dateTime.iso8601>2024-03-15T08:45:30</dateTime.iso8601></value>",
         "!Bad time value"},
        {"<value><dateTime.iso8601>20240315T08:45:30", "!Bad time value"},
        {"<value><base64>QUJD</base64></value>", "b64\"ABC\""},
        {"<value><base64>\r\nQUJD\r\n</base64></value>", "b64\"ABC\""},
        {"<value><base64></base64></value>", "b64\"\""},
        {"<value><base64>QUJD", "!Bad base64"},
        {"<value><base64/></value>", "!Unknown type tag: <base64/>"},
    });
}

TEST(Decoder, Arrays) {
    expectAll({
        {"<value><array><data><value><i4>1</i4></value><value>x</value></data></array></value>",
         "[i:1,s\"x\"]"},
        {"<value><array><data/></array></value>", "[]"},
        {"<value><array><data>\r\n</data></array></value>", "[]"},
        {"<value><array>\n <data>\n  <value>a</value>\n  <value/>\n </data>\n</array></value>",
         "[s\"a\",s\"\"]"},
        {"<value><array/></value>", "!Unknown type tag: <array/>"},
        {"<value><array></array></value>", "!Expecting tag:  <data>"},
        {"<value><array><data><value>a</value></DATA></array></value>", "!Expecting tag: <value>"},
        {"<value><array><data><value>a</value></data></value>", "!Expecting tag: </array>"},
        {"<value><array><data><value>a</value>", "!Expecting tag: <value>"},
        {"<value><array><data><value><i4>1</i4></value><value><i4>x</i4></value></data>"
         "</array></value>",
         "!Bad int"},
        {"<value><array><data><value><array><data><value><struct><member><name>k</name>"
         "<value><i4>5</i4></value></member></struct></value></data></array></value></data>"
         "</array></value>",
         "[[{k=i:5}]]"},
    });
}

TEST(Decoder, Structs) {
    expectAll({
        {"<value><struct><member><name>b</name><value>2</value></member>"
         "<member><name>A</name><value><i4>1</i4></value></member></struct></value>",
         "{A=i:1,b=s\"2\"}"},
        {"<value><struct><member><name>a</name><value>first</value></member>"
         "<member><name>a</name><value>second</value></member></struct></value>",
         "{a=s\"first\"}"},
        {"<value><struct></struct></value>", "{}"},
        {"<value><struct/></value>", "{}"},
        {"<value><struct>\r\n <member>\n<name> a </name>\n<value>x</value>\n</member>\n"
         "</struct></value>",
         "{ a =s\"x\"}"},
        {"<value><struct><member><name>a&amp;b&#65;</name><value/></member></struct></value>",
         "{a&bA=s\"\"}"},
        {"<value><struct><member><name></name><value/></member></struct></value>", "{=s\"\"}"},
        {"<value><struct><Member><name>a</name><value/></Member></struct></value>",
         "!Expecting tag: </struct>"},
        {"<value><struct><member><value/></member></struct></value>", "!Expecting tag: <name>"},
        {"<value><struct><member><name>abc", "!Bad 'name' tag in struct"},
        {"<value><struct><member><name>a</nam><value/></member></struct></value>",
         "!Expecting tag: </name>"},
        {"<value><struct><member><name>a</name><value/></struct></value>",
         "!Expecting tag: </member>"},
        {"<value><struct><member><name>a</name></member></struct></value>",
         "!Expecting tag: <value>"},
    });
}

TEST(Decoder, ValueElementItself) {
    expectAll({
        {"<value a='1'>x</value>", "!Expecting tag: <value>"},
        {"x", "!Expecting tag: <value>"},
        {"", "!Expecting tag: <value>"},
        {"<values>x</values>", "!Expecting tag: <value>"},
        {"<value><i4>1</i4><i4>2</i4></value>", "!Expecting tag: </value>"},
        {"<value><foo>1</foo></value>", "!Unknown type tag: <foo>"},
        {"<value><Foo  bar = '1' >1</foo></value>", "!Unknown type tag: <Foo bar = '1'>"},
        {"<value><i4>1</i4>", "!Expecting tag: </value>"},
        {" \r\n\t<VALUE>x</VALUE>", "s\"x\""},
    });
}

TEST(Decoder, StopsRightAfterTheValue) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<value>x</value></param>tail", "</param>tail"},
        {"<value/>  next", "  next"},
        {"<value></value>\n", "\n"},
        {"<value><nil/></value><value>", "<value>"},
    };
    for (const auto& [text, rest] : cases) {
        std::string left;
        decode(text, &left);
        EXPECT_EQ(left, rest) << text;
    }
}

TEST(Decoder, CursorStaysAtTheFailure) {
    std::string left;
    EXPECT_EQ(decode("<value><boolean>x</boolean></value>", &left), "!bad BOOL");
    EXPECT_EQ(left, "x</boolean></value>");
    EXPECT_EQ(decode("<value><i4>zz</i4></value>", &left), "!Bad int");
    EXPECT_EQ(left, "zz</i4></value>");
}

TEST(Decoder, PartialContainersKeepWhatWasRead) {
    XmlRpcValue v;
    const char* cursor =
        "<value><array><data><value>a</value><value><struct><member><name>k</name>"
        "<value>v</value></member><member><name>bad</name><value><i4>?</i4>";
    EXPECT_EQ(raisedMessage([&] { readValue(v, cursor); }), "Bad int");
    EXPECT_EQ(describe(v), "[s\"a\",{k=s\"v\"}]");
}

std::string nested(int depth, const char* open, const char* close, const char* inner) {
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += open;
    }
    text += inner;
    for (int i = 0; i < depth; ++i) {
        text += close;
    }
    return text;
}

TEST(Decoder, NestingIsLimited) {
    const char* arrayOpen = "<value><array><data>";
    const char* arrayClose = "</data></array></value>";
    const char* structOpen = "<value><struct><member><name>m</name>";
    const char* structClose = "</member></struct></value>";
    std::string ok = nested(MaxValueNesting, arrayOpen, arrayClose, "<value>leaf</value>");
    XmlRpcValue v;
    const char* cursor = ok.c_str();
    readValue(v, cursor);
    EXPECT_EQ(*cursor, '\0');
    const XmlRpcValue* inner = &v;
    for (int i = 0; i < MaxValueNesting; ++i) {
        inner = &inner->element(0);
    }
    EXPECT_STREQ(inner->textValue(), "leaf");

    EXPECT_EQ(decode(nested(MaxValueNesting, structOpen, structClose, "<value/>")),
              decode(nested(MaxValueNesting, structOpen, structClose, "<value></value>")));
    EXPECT_EQ(decode(nested(MaxValueNesting + 1, arrayOpen, arrayClose, "<value/>")),
              "!Nesting too deep");
    EXPECT_EQ(decode(nested(MaxValueNesting + 1, structOpen, structClose, "<value/>")),
              "!Nesting too deep");
    EXPECT_EQ(decode(nested(100000, arrayOpen, arrayClose, "<value/>")), "!Nesting too deep");
}

TEST(Decoder, ManyElementsAndMembers) {
    std::string text = "<value><array><data>";
    for (int i = 0; i < 5000; ++i) {
        text += "<value><struct><member><name>n" + std::to_string(i % 7) + "</name><value><i4>" +
                std::to_string(i) +
                "</i4></value></member></struct>"
                "</value>\n";
    }
    text += "</data></array></value>";
    XmlRpcValue v;
    const char* cursor = text.c_str();
    readValue(v, cursor);
    ASSERT_EQ(v.size(), 5000);
    EXPECT_EQ(v.capacity(), 8192);
    EXPECT_EQ(describe(v.element(4999)), "{n1=i:4999}");
}

}  // namespace
