// XmlRpcClient over the scripted transport: the request it sends, and the errors of the
// request steps and the platform.
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

// ---- the request ----

TEST(XmlRpcClientRequest, PostsTheMethodCallWithItsLength) {
    FakeInternetTransport fake;
    fake.responses.push_back(okAnswer(kFldigiReply));
    XmlRpcClient client(kUrl, fake);
    fake.calls.clear();
    XmlRpcValue result;
    ASSERT_TRUE(client.call("fldigi.name", XmlRpcValue(), result)) << client.errorText();
    EXPECT_STREQ(result.stringValue(), "fldigi");
    ASSERT_EQ(fake.sentBodies.size(), 1u);
    EXPECT_EQ(fake.sentBodies[0].size(), 105u);
    EXPECT_EQ(fake.sentHeaders[0], "Content-Type: text/xml\r\nContent-length: 105");
    EXPECT_EQ(fake.calls[0], "openRequest POST /RPC2 HTTP/1.0 text/* 0x4400000");
    EXPECT_EQ(fake.calls[1], "setStatusCallback");
    EXPECT_EQ(fake.calls[2], "addHeaders");
    EXPECT_EQ(fake.calls[3], "sendRequest 105");
    EXPECT_EQ(client.httpStatus(), 200);
    EXPECT_EQ(client.bytesReceived(), static_cast<int32_t>(sizeof kFldigiReply - 1));
    EXPECT_EQ(countCalls(fake, "closeHandle request"), 1u);
    EXPECT_EQ(fake.openHandleCount(), 2);  // root and connection stay for further calls
}

TEST(XmlRpcClientRequest, HttpsUsesSecureFlagsAndUnknownAuthorityAddsTheIgnoreFlag) {
    struct Case {
        const char* url;
        bool acceptUnknownAuthority;
        const char* openCall;
        bool securityFlagsTouched;
    };
    for (const Case& c :
         {Case{"https://h/RPC2", false, "openRequest POST /RPC2 HTTP/1.0 text/* 0x4C03000", false},
          Case{"https://h/RPC2", true, "openRequest POST /RPC2 HTTP/1.0 text/* 0x4C03000", true},
          Case{"http://h/RPC2", true, "openRequest POST /RPC2 HTTP/1.0 text/* 0x4400000", true}}) {
        FakeInternetTransport fake;
        fake.responses.push_back(okAnswer(kFldigiReply));
        XmlRpcClient client(c.url, fake);
        client.setAcceptUnknownAuthority(c.acceptUnknownAuthority);
        XmlRpcValue result;
        EXPECT_TRUE(client.call("fldigi.name", XmlRpcValue(), result));
        EXPECT_EQ(countCalls(fake, c.openCall), 1u) << c.url;
        EXPECT_EQ(countCalls(fake, "queryOption request 31"), c.securityFlagsTouched ? 1u : 0u);
        // The flags already there are kept.
        EXPECT_EQ(countCalls(fake, "setOption request 31 0x3100"),
                  c.securityFlagsTouched ? 1u : 0u);
    }
}

TEST(XmlRpcClientRequest, ParametersThatCannotBeWrittenFailBeforeAnyRequest) {
    FakeInternetTransport fake;
    XmlRpcClient client(kUrl, fake);
    XmlRpcValue params;
    params.setArray();
    params.append();  // an Undefined element
    XmlRpcValue result;
    result.setInt(7);
    EXPECT_FALSE(client.call("x", params, result));
    EXPECT_EQ(client.errorText(), "Undefined XmlRpc value");
    EXPECT_EQ(countCalls(fake, "openRequest"), 0u);
    EXPECT_EQ(result.intValue(), 7);
}

// ---- request and platform errors ----

struct StepErrorCase {
    FakeStep step;
    uint32_t code;
    const char* errorText;
};

void PrintTo(const StepErrorCase& c, std::ostream* out) {
    *out << c.errorText;
}

class StepError : public ::testing::TestWithParam<StepErrorCase> {};

TEST_P(StepError, NamesTheStepAndTheReason) {
    const StepErrorCase& c = GetParam();
    FakeInternetTransport fake;
    fake.systemMessages[5] = "Access is denied.\r\n";
    fake.responses.push_back(okAnswer(kFldigiReply));
    fake.failAt(c.step, c.code, 1);
    fake.failAt(c.step, c.code, 2);  // a dropped connection is sent to once more
    XmlRpcClient client(kUrl, fake);
    XmlRpcValue result;
    EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
    EXPECT_EQ(client.errorText(), c.errorText);
    EXPECT_EQ(fake.openHandleCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StepError,
    ::testing::Values(
        StepErrorCase{FakeStep::SendRequest, 12002, "HttpSendRequest : Internet timeout"},
        StepErrorCase{FakeStep::SendRequest, 12005, "HttpSendRequest : Invalid URL"},
        StepErrorCase{FakeStep::SendRequest, 12007, "HttpSendRequest : Domain name not resolved"},
        StepErrorCase{FakeStep::SendRequest, 12029, "HttpSendRequest : Failed to connect"},
        StepErrorCase{FakeStep::SendRequest, 12030, "HttpSendRequest : Connection aborted"},
        StepErrorCase{FakeStep::SendRequest, 12031, "HttpSendRequest : Connection reset"},
        StepErrorCase{FakeStep::SendRequest, 12045,
                      "HttpSendRequest : Invalid certificate authority"},
        StepErrorCase{FakeStep::SendRequest, 12057,
                      "HttpSendRequest : Unable to check whether security certificate was revoked "
                      "or not. Is your system clock time correct?"},
        StepErrorCase{FakeStep::SendRequest, 12157,
                      "HttpSendRequest : Talking HTTPS to an HTTP server?"},
        StepErrorCase{FakeStep::SendRequest, 12172, "HttpSendRequest : Internet not initialised"},
        // Codes outside the table: the system's text as it comes, else the number.
        StepErrorCase{FakeStep::SendRequest, 5, "HttpSendRequest : Access is denied.\r\n"},
        StepErrorCase{FakeStep::SendRequest, 12345, "HttpSendRequest : Error 12345"},
        StepErrorCase{FakeStep::SendRequest, 0xFFFFFFFFu, "HttpSendRequest : Error -1"},
        StepErrorCase{FakeStep::OpenRequest, 12029, "HttpOpenRequest : Failed to connect"}));

}  // namespace
