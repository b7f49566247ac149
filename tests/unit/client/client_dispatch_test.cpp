// XmlRpcClient over the scripted transport: status dispatch and failures while reading the
// body.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "client_test_support.h"
#include "fake_internet_transport.h"
#include "xmlrpc/client/client.h"

namespace {

using namespace clienttest;

// ---- status dispatch ----

struct DispatchCase {
    const char* name;
    FakeResponse response;
    bool returns;
    const char* errorText;
    bool faultReceived;
};

void PrintTo(const DispatchCase& c, std::ostream* out) {
    *out << c.name;
}

class StatusDispatch : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(StatusDispatch, GivesResultAndErrorText) {
    const DispatchCase& c = GetParam();
    FakeInternetTransport fake;
    fake.responses.push_back(c.response);
    XmlRpcClient client(kUrl, fake);
    XmlRpcValue result;
    EXPECT_EQ(client.call("fldigi.name", XmlRpcValue(), result), c.returns);
    EXPECT_EQ(client.errorText(), c.errorText);
    EXPECT_EQ(client.httpStatus(), static_cast<int32_t>(c.response.status));
    EXPECT_EQ(client.faultReceived(), c.faultReceived);
    EXPECT_EQ(fake.openHandleCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StatusDispatch,
    ::testing::Values(
        DispatchCase{"ok", okAnswer(kFldigiReply), true, "", false},
        DispatchCase{"empty200", answer(200, "OK", {}), false,
                     "Invalid XMLRPC response: content size is 0", false},
        DispatchCase{"notFound", answer(404, "Not Found", {"<html>gone</html>"}), false,
                     "Low level (HTTP) error: 404 Not Found", false},
        DispatchCase{"serverError", answer(500, "Internal Server Error", {}), false,
                     "Low level (HTTP) error: 500 Internal Server Error", false},
        DispatchCase{"noReason", answer(503, "", {}), false, "Low level (HTTP) error: 503 ", false},
        DispatchCase{"unauthorized", answer(401, "Unauthorized", {"x"}), false, kAuthText, false},
        DispatchCase{"proxyAuth", answer(407, "Proxy Authentication Required", {}), false,
                     kAuthText, false},
        DispatchCase{"fault", okAnswer(faultReply(faultStruct("<value>boom</value>"))), false,
                     "boom", true},
        DispatchCase{"emptyFaultString", okAnswer(faultReply(faultStruct("<value></value>"))), true,
                     "", true},
        DispatchCase{"numericFaultString",
                     okAnswer(faultReply(faultStruct("<value><i4>5</i4></value>"))), false,
                     "unspecified error", true},
        DispatchCase{"faultNotAStruct", okAnswer(faultReply("<value><i4>3</i4></value>")), false,
                     "type error: expected a struct", true},
        DispatchCase{"htmlPage", okAnswer("<!DOCTYPE html>\n<html><body>hello</body></html>"),
                     false,
                     "It looks like you've configured the wrong URL. That URL is sending us HTML "
                     "text, whereas we need RPC data.",
                     false}),
    [](const ::testing::TestParamInfo<DispatchCase>& info) { return info.param.name; });

TEST(XmlRpcClientDispatch, FaultResultHoldsTheWholeFaultStruct) {
    FakeInternetTransport fake;
    fake.responses.push_back(okAnswer(faultReply(faultStruct("<value>boom</value>"))));
    XmlRpcClient client(kUrl, fake);
    XmlRpcValue result;
    EXPECT_FALSE(client.call("x", XmlRpcValue(), result));
    ASSERT_EQ(result.kind(), ValueKind::Struct);
    EXPECT_EQ(result.size(), 2);
    EXPECT_EQ(result.member("faultCode").intValue(), -1);
    EXPECT_STREQ(result.member("faultString").stringValue(), "boom");
}

TEST(XmlRpcClientDispatch, BodyInManySmallPiecesIsJoined) {
    FakeInternetTransport fake;
    FakeResponse response;
    for (const char* p = kFldigiReply; *p != '\0'; ++p) {
        response.bodyChunks.emplace_back(1, *p);
    }
    fake.responses.push_back(response);
    XmlRpcClient client(kUrl, fake);
    XmlRpcValue result;
    ASSERT_TRUE(client.call("fldigi.name", XmlRpcValue(), result)) << client.errorText();
    EXPECT_STREQ(result.stringValue(), "fldigi");
    EXPECT_EQ(client.bytesReceived(), static_cast<int32_t>(sizeof kFldigiReply - 1));
}

TEST(XmlRpcClientDispatch, StatusThatCannotBeReadFails) {
    struct Case {
        FakeStep step;
        FakeResponse response;
        int32_t httpStatus;
    };
    for (const Case& c : {Case{FakeStep::QueryStatusCode, okAnswer(kFldigiReply), 0},
                          Case{FakeStep::QueryStatusText, answer(500, "Oops", {}), 500}}) {
        FakeInternetTransport fake;
        fake.responses.push_back(c.response);
        fake.failAt(c.step, 12150);
        XmlRpcClient client(kUrl, fake);
        XmlRpcValue result;
        EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
        EXPECT_EQ(client.errorText(), "Could not query HTTP result status");
        EXPECT_EQ(client.httpStatus(), c.httpStatus);
        EXPECT_EQ(fake.openHandleCount(), 2);
    }
}

// ---- failures while reading the body ----

struct ReadFailureCase {
    const char* name;
    FakeResponse response;
    FakeStep step;
    int occurrence;
    const char* errorText;
};

void PrintTo(const ReadFailureCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadFailure : public ::testing::TestWithParam<ReadFailureCase> {};

TEST_P(ReadFailure, KeepsTheTextUnlessTheStatusStepReplacesIt) {
    const ReadFailureCase& c = GetParam();
    FakeInternetTransport fake;
    fake.responses.push_back(c.response);
    fake.failAt(c.step, 12031, c.occurrence);
    XmlRpcClient client(kUrl, fake);
    XmlRpcValue result;
    EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
    EXPECT_EQ(client.errorText(), c.errorText);
    EXPECT_EQ(client.httpStatus(), static_cast<int32_t>(c.response.status));
    EXPECT_EQ(countCalls(fake, "queryStatusCode"), 1u);
    EXPECT_EQ(fake.openHandleCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadFailure,
    ::testing::Values(
        ReadFailureCase{"availableAfterWholeBody", answer(200, "OK", {kFldigiReply, "more"}),
                        FakeStep::QueryDataAvailable, 2,
                        "InternetQueryDataAvailable : Connection reset"},
        ReadFailureCase{"readAfterWholeBody", answer(200, "OK", {kFldigiReply, "more"}),
                        FakeStep::ReadFile, 2, "InternetReadFile : Connection reset"},
        ReadFailureCase{"firstRead", answer(200, "OK", {kFldigiReply}), FakeStep::ReadFile, 1,
                        "Invalid XMLRPC response: content size is 0"},
        ReadFailureCase{"notFoundStillDispatched", answer(404, "Not Found", {"a", "b"}),
                        FakeStep::ReadFile, 2, "Low level (HTTP) error: 404 Not Found"}),
    [](const ::testing::TestParamInfo<ReadFailureCase>& info) { return info.param.name; });

TEST(XmlRpcClientReadFailure, ValueReadBeforeTheFailureIsStillReturned) {
    FakeInternetTransport fake;
    fake.responses.push_back(answer(200, "OK", {kFldigiReply, "more"}));
    fake.failAt(FakeStep::ReadFile, 12031, 2);
    XmlRpcClient client(kUrl, fake);
    XmlRpcValue result;
    EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
    EXPECT_STREQ(result.stringValue(), "fldigi");
}

// The body may reach the limit but not pass it; past it nothing more is read or kept, and the
// caller's result stays as it was.
TEST(XmlRpcClientReadFailure, BodyPastTheLimitIsTooLarge) {
    const std::string full(XmlRpcClient::kMaxResponseBytes, 'x');
    struct Case {
        std::vector<std::string> chunks;
        std::string errorText;
        size_t reads;
    };
    const std::vector<Case> cases = {
        {{full}, full, 1},
        {{full, "y", "never read"}, "Response too large", 1},
        {{"x", full}, "Response too large", 1},
    };
    for (const auto& [chunks, errorText, reads] : cases) {
        FakeInternetTransport fake;
        fake.responses.push_back(answer(200, "OK", chunks));
        XmlRpcClient client(kUrl, fake);
        XmlRpcValue result;
        result.setInt(7);
        EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
        EXPECT_TRUE(client.errorText() == errorText) << client.errorText().substr(0, 40);
        EXPECT_EQ(client.errorKind(), errorText == full ? XmlRpcClient::ErrorKind::Decode
                                                        : XmlRpcClient::ErrorKind::TooLarge);
        EXPECT_EQ(result.intValue(), 7);
        EXPECT_EQ(countCalls(fake, "readFile"), reads);
    }
}

}  // namespace
