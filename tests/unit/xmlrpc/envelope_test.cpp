#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/xmlrpc/test_values.h"
#include "xmlrpc/core/envelope.h"

namespace {

std::string call(const char* method, const XmlRpcValue& params) {
    std::string out;
    writeMethodCall(out, method, params);
    return out;
}

TEST(Envelope, WritesMethodCall) {
    const std::string head = "<?xml version=\"1.0\"?>\r\n<methodCall><methodName>";
    const std::string tail = "</params></methodCall>\r\n";
    std::string plain = call("fldigi.name", XmlRpcValue());
    EXPECT_EQ(plain, head + "fldigi.name</methodName>\r\n<params>" + tail);
    EXPECT_EQ(plain.size(), 105u);

    EXPECT_EQ(call("log.get_call", Arr({})), head + "log.get_call</methodName>\r\n<params>" + tail);
    EXPECT_EQ(call("m", Str("DL1ABC")),
              head + "m</methodName>\r\n<params><param><value>DL1ABC</value></param>\n" + tail);
    EXPECT_EQ(call("m", Arr({Int(1), Str("b")})),
              head +
                  "m</methodName>\r\n<params><param><value><i4>1</i4></value></param>"
                  "<param><value>b</value></param>" +
                  tail);
    EXPECT_EQ(call("a&b<c", Nil()),
              head + "a&b<c</methodName>\r\n<params><param><value><nil/></value></param>\n" + tail);
    EXPECT_EQ(call("m", Arr({Arr({Int(1)})})),
              head +
                  "m</methodName>\r\n<params><param><value><array><data><value><i4>1</i4>"
                  "</value></data></array></value></param>" +
                  tail);
}

TEST(Envelope, UndefinedParameterRaises) {
    XmlRpcValue params = Arr({Int(1)});
    params.append();
    std::string out;
    EXPECT_EQ(raisedMessage([&] { writeMethodCall(out, "m", params); }), "Undefined XmlRpc value");
}

struct ResponseCase {
    std::string text;
    std::string expected;  // "ok " / "fault " + describe(result), or "!" + message
};

std::string respond(const std::string& text) {
    XmlRpcValue result = Str("stale");
    try {
        bool ok = readMethodResponse(text.c_str(), result);
        return (ok ? "ok " : "fault ") + describe(result);
    } catch (const XmlRpcException& e) {
        describe(result);
        return "!" + e.message;
    }
}

const std::string decl = "<?xml version=\"1.0\"?>\n";
const std::string wrongUrl =
    "!It looks like you've configured the wrong URL. That URL is sending us HTML text, whereas "
    "we need RPC data.";

TEST(Envelope, ReadsResponses) {
    const std::vector<ResponseCase> cases = {
        {decl + "<methodResponse><params><param><value>DL1ABC</value></param></params>"
                "</methodResponse>\n",
         "ok s\"DL1ABC\""},
        {"<?XML VERSION=\"1.0\"?><METHODRESPONSE><PARAMS><PARAM><VALUE><I4>5</I4></VALUE>",
         "ok i:5"},
        {"< ?xml version='1.0' encoding='UTF-8'?>\r\n<methodResponse>\r\n<params>\r\n<param>\r\n"
         "<value><string>x</string></value>\r\n</param>\r\n</params>\r\n</methodResponse>",
         "ok s\"x\""},
        {decl + "<methodResponse><params><param><value>1</value></param><param><value>2</value>"
                "</param></params></methodResponse>",
         "ok s\"1\""},
        {decl + "<methodResponse><params><param><value/>trailing garbage", "ok s\"\""},
        {decl + "<methodResponse>\r\n \t<fault><value><struct><member><name>faultCode</name>"
                "<value><int>4</int></value></member><member><name>faultString</name>"
                "<value><string>Too many parameters</string></value></member></struct></value>"
                "</fault></methodResponse>",
         "fault {faultCode=i:4,faultString=s\"Too many parameters\"}"},
        {decl + "<methodResponse><FAULT><value>x</value></FAULT></methodResponse>",
         "!Expecting tag: <params>"},
        {decl + "<methodResponse>< fault><value>x</value></fault></methodResponse>",
         "!Expecting tag: <params>"},
        {decl + "<methodResponse><fault><value>x</value></methodResponse>",
         "!Expecting tag: </fault>"},
        {decl + "<methodResponse><params></params></methodResponse>", "!Expecting tag: <param>"},
        {decl + "<methodResponse><params><param></param></params></methodResponse>",
         "!Expecting tag: <value>"},
        {decl + "<methodResponse><params><param><value><i4>x</i4></value>", "!Bad int"},
        {"<methodResponse><params><param><value>x</value>", "!<params><param><value>x</value>"},
        {"<!DOCTYPE html>\n<html><head><title>404</title></head></html>", wrongUrl},
        {"<!DOCTYPE html>\n<HTML><BODY>x</BODY></HTML>", wrongUrl},
        {"<html><body>page</body></html>", "!<body>page</body></html>"},
        {"<html><body><Html></body></html>", "!<body><Html></body></html>"},
        {decl + "<html><head><title>Bad request!</title></head></html>",
         "!Talking HTTP to a HTTPS server?"},
        {decl + "<html><body>Object not found</body></html>", "!Wrong URL (\"Object not found\")"},
        {decl + "<methodCall><params/>", "!<params/>"},
        {decl + "<methodResponse x='1'>", "!Invalid XMLRPC response"},
        {"", "!Invalid XMLRPC response"},
        {"   \r\n", "!Invalid XMLRPC response"},
        {"plain text answer", "!plain text answer"},
        {"<html>", "!Invalid XMLRPC response"},
        {decl, "!Invalid XMLRPC response"},
        {decl + "<methodResponse>", "!Expecting tag: <params>"},
    };
    for (const ResponseCase& c : cases) {
        EXPECT_EQ(respond(c.text), c.expected) << c.text;
    }
}

// A response that fails before its value leaves the caller's result as it was; once the
// value is reached, the result is what the value reader made of it.
TEST(Envelope, ResultReplacedOnlyAtTheValue) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<html><body>page</body></html>", "i:7"},
        {"", "i:7"},
        {decl + "<html><title>Bad request!</title></html>", "i:7"},
        {decl + "<methodCall><params/>", "i:7"},
        {decl + "<methodResponse>", "i:7"},
        {decl + "<methodResponse><params></params>", "i:7"},
        {decl + "<methodResponse><FAULT><value>x</value></FAULT>", "i:7"},
        {decl + "<methodResponse><params><param><value><i4>x</i4></value>", "undef"},
        {decl + "<methodResponse><fault><value>x</value></methodResponse>", "s\"x\""},
    };
    for (const auto& [text, after] : cases) {
        XmlRpcValue result = Int(7);
        try {
            readMethodResponse(text.c_str(), result);
            ADD_FAILURE() << "no error for " << text;
        } catch (const XmlRpcException&) {
        }
        EXPECT_EQ(describe(result), after) << text;
    }
}

TEST(Envelope, FaultText) {
    struct Case {
        XmlRpcValue fault;
        std::string text;
        std::string after;  // describe(fault) afterwards
    };
    std::vector<Case> cases = {
        {Rec({{"faultString", Str("No such method")}, {"faultCode", Int(1)}}), "No such method",
         "{faultCode=i:1,faultString=s\"No such method\"}"},
        {Rec({{"faultString", Str("")}}), "", "{faultString=s\"\"}"},
        {Rec({{"faultString", Int(3)}}), "unspecified error", "{faultString=i:3}"},
        {Rec({{"faultCode", Int(3)}}), "unspecified error", "{faultCode=i:3}"},
        {XmlRpcValue(), "unspecified error", "undef"},
        {Rec({{"faultString", Nil()}}), "unspecified error", "{faultString=nil}"},
    };
    for (Case& c : cases) {
        EXPECT_EQ(faultText(c.fault), c.text);
        EXPECT_EQ(describe(c.fault), c.after);
    }
    for (XmlRpcValue v : {Str("x"), Nil(), Arr({})}) {
        EXPECT_EQ(raisedMessage([&] { faultText(v); }), "type error: expected a struct");
    }
}

}  // namespace
