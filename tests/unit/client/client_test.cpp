// XmlRpcClient over the scripted transport: URL parsing, the connect step, the request it
// sends, status dispatch, credentials, read failures, error and progress texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "fake_internet_transport.h"
#include "xmlrpc/client/client.h"

namespace {

const char kFldigiReply[] =
    "<?xml version=\"1.0\"?>\r\n<methodResponse><params><param>\r\n\t<value>fldigi</value>\r\n"
    "</param></params></methodResponse>\r\n";

std::string faultReply(const std::string& faultValue) {
    return "<?xml version=\"1.0\"?>\r\n<methodResponse><fault>\r\n\t" + faultValue +
           "\r\n</fault></methodResponse>\r\n";
}

std::string faultStruct(const std::string& faultStringValue) {
    return "<value><struct><member><name>faultCode</name><value><i4>-1</i4></value></member>"
           "<member><name>faultString</name>" +
           faultStringValue + "</member></struct></value>";
}

FakeResponse answer(uint32_t status, const char* statusText, std::vector<std::string> chunks) {
    FakeResponse response;
    response.status = status;
    response.statusText = statusText;
    response.bodyChunks = std::move(chunks);
    return response;
}

FakeResponse okAnswer(const std::string& body) {
    return answer(200, "OK", {body});
}

size_t countCalls(const FakeInternetTransport& fake, const std::string& prefix) {
    size_t n = 0;
    for (const std::string& call : fake.calls) {
        n += call.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    }
    return n;
}

const char kUrl[] = "http://127.0.0.1:7362/RPC2";

// ---- URL parsing and the connect step ----

struct UrlCase {
    const char* url;
    bool connected;
    int32_t scheme;
    uint16_t port;
    const char* path;
    const char* connectCall;  // what the transport was asked to connect to
};

void PrintTo(const UrlCase& c, std::ostream* out) {
    *out << c.url;
}

class UrlParsing : public ::testing::TestWithParam<UrlCase> {};

TEST_P(UrlParsing, GivesSchemeHostPortAndPath) {
    const UrlCase& c = GetParam();
    FakeInternetTransport fake;
    XmlRpcClient client(c.url, fake);
    EXPECT_EQ(client.connected(), c.connected);
    EXPECT_EQ(client.scheme, c.scheme);
    EXPECT_EQ(client.port, c.port);
    EXPECT_EQ(client.path, c.path);
    EXPECT_EQ(countCalls(fake, c.connectCall), 1u);
    EXPECT_EQ(client.errorText, "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, UrlParsing,
    ::testing::Values(UrlCase{"http://127.0.0.1:7362/RPC2", true, 1, 7362, "/RPC2",
                              "connect 127.0.0.1 7362"},
                      UrlCase{"HTTP://Host/RPC2", true, 1, 80, "/RPC2", "connect Host 80"},
                      UrlCase{"hTtPs://h", true, 2, 443, "", "connect h 443"},
                      UrlCase{"http://h:8080/x", true, 1, 8080, "/x", "connect h 8080"},
                      UrlCase{"http://h", true, 1, 80, "", "connect h 80"},
                      UrlCase{"http://h:70000/", true, 1, 4464, "/", "connect h 4464"},
                      UrlCase{"http://h:99999999999/", true, 1, 65535, "/", "connect h 65535"},
                      UrlCase{"http://h:-1/", true, 1, 65535, "-1/", "connect h 65535"},
                      UrlCase{"http://h:/p", true, 1, 0, "/p", "connect h 0"},
                      UrlCase{"http://:81/p", true, 1, 81, "/p", "connect  81"},
                      UrlCase{"http:///p", true, 1, 80, "/p", "connect  80"},
                      UrlCase{"https://h:8443/a/b?c", true, 2, 8443, "/a/b?c", "connect h 8443"}));

TEST(XmlRpcClientUrl, RejectsOtherSchemesAndNeverConnects) {
    for (const char* url :
         {"ftp://h/x", "", "http:/h", "httpx://h", "https:/", static_cast<const char*>(nullptr)}) {
        FakeInternetTransport fake;
        XmlRpcClient client(url, fake);
        EXPECT_FALSE(client.connected()) << (url ? url : "null");
        EXPECT_EQ(client.errorText, "The URI must begin with \"https://\" or \"http://\".");
        EXPECT_TRUE(fake.calls.empty());
        XmlRpcValue result;
        EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
        EXPECT_EQ(client.errorText, "No connection");
        EXPECT_TRUE(fake.calls.empty());
    }
}

TEST(XmlRpcClientConnect, OpensRootAndConnectionAndSetsTheReceiveTimeoutOnBoth) {
    FakeInternetTransport fake;
    {
        XmlRpcClient client(kUrl, fake);
        EXPECT_EQ(fake.calls, (std::vector<std::string>{"openRoot XmlRpc", "connect 127.0.0.1 7362",
                                                        "setOption root 6 999000",
                                                        "setOption connection 6 999000"}));
        EXPECT_EQ(client.progressHook, nullptr);
        EXPECT_EQ(client.bytesReceived, 0);
        fake.calls.clear();
    }
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"closeHandle connection", "closeHandle root"}));
    EXPECT_EQ(fake.openHandleCount(), 0);
}

TEST(XmlRpcClientConnect, TestsCanShortenTheReceiveTimeout) {
    FakeInternetTransport fake;
    XmlRpcClient client(kUrl, fake, 250);
    EXPECT_EQ(countCalls(fake, "setOption root 6 250"), 1u);
    EXPECT_EQ(countCalls(fake, "setOption connection 6 250"), 1u);
}

TEST(XmlRpcClientConnect, FailedStepsLeaveTheClientUnconnected) {
    struct Case {
        FakeStep step;
        uint32_t code;
        const char* text;
        int handlesLeft;
    };
    for (const Case& c :
         {Case{FakeStep::OpenRoot, 12172, "InternetOpen : Internet not initialised", 0},
          Case{FakeStep::Connect, 12005, "InternetConnect : Invalid URL", 1}}) {
        FakeInternetTransport fake;
        fake.failAt(c.step, c.code);
        {
            XmlRpcClient client(kUrl, fake);
            EXPECT_FALSE(client.connected());
            EXPECT_EQ(client.errorText, c.text);
            EXPECT_EQ(fake.openHandleCount(), c.handlesLeft);
            XmlRpcValue result;
            EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
            EXPECT_EQ(client.errorText, "No connection");
        }
        EXPECT_EQ(fake.openHandleCount(), 0);
    }
}

// ---- the request ----

TEST(XmlRpcClientRequest, PostsTheMethodCallWithItsLength) {
    FakeInternetTransport fake;
    fake.responses.push_back(okAnswer(kFldigiReply));
    XmlRpcClient client(kUrl, fake);
    fake.calls.clear();
    XmlRpcValue result;
    ASSERT_TRUE(client.call("fldigi.name", XmlRpcValue(), result)) << client.errorText;
    EXPECT_STREQ(result.stringValue(), "fldigi");
    ASSERT_EQ(fake.sentBodies.size(), 1u);
    EXPECT_EQ(fake.sentBodies[0].size(), 105u);
    EXPECT_EQ(fake.sentHeaders[0], "Content-Type: text/xml\r\nContent-length: 105");
    EXPECT_EQ(fake.calls[0], "openRequest POST /RPC2 HTTP/1.0 text/* 0x4400000");
    EXPECT_EQ(fake.calls[1], "setStatusCallback");
    EXPECT_EQ(fake.calls[2], "addHeaders");
    EXPECT_EQ(fake.calls[3], "sendRequest 105");
    EXPECT_EQ(client.httpStatus, 200);
    EXPECT_EQ(client.bytesReceived, static_cast<int32_t>(sizeof kFldigiReply - 1));
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
        client.acceptUnknownAuthority = c.acceptUnknownAuthority;
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
    EXPECT_EQ(client.errorText, "Undefined XmlRpc value");
    EXPECT_EQ(countCalls(fake, "openRequest"), 0u);
    EXPECT_EQ(result.intValue(), 7);
}

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
    EXPECT_EQ(client.errorText, c.errorText);
    EXPECT_EQ(client.httpStatus, static_cast<int32_t>(c.response.status));
    EXPECT_EQ(client.faultReceived, c.faultReceived);
    EXPECT_EQ(fake.openHandleCount(), 2);
}

const char kAuthText[] =
    "HTTP Basic authentication failed. You need to provide a username and password.";

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
    ASSERT_TRUE(client.call("fldigi.name", XmlRpcValue(), result)) << client.errorText;
    EXPECT_STREQ(result.stringValue(), "fldigi");
    EXPECT_EQ(client.bytesReceived, static_cast<int32_t>(sizeof kFldigiReply - 1));
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
        EXPECT_EQ(client.errorText, "Could not query HTTP result status");
        EXPECT_EQ(client.httpStatus, c.httpStatus);
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
    EXPECT_EQ(client.errorText, c.errorText);
    EXPECT_EQ(client.httpStatus, static_cast<int32_t>(c.response.status));
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
    fake.failAt(c.step, c.code);
    XmlRpcClient client(kUrl, fake);
    XmlRpcValue result;
    EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
    EXPECT_EQ(client.errorText, c.errorText);
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

// ---- credentials ----

TEST(XmlRpcClientCredentials, HookIsAskedUntilItGivesUpAndTheSameRequestIsResent) {
    FakeInternetTransport fake;
    fake.responses.push_back(answer(401, "Unauthorized", {"no"}));
    fake.responses.push_back(answer(401, "Unauthorized", {"no"}));
    XmlRpcClient client(kUrl, fake);
    std::vector<bool> retries;
    client.credentialsHook = [&](bool isRetry, char* userName, char* password) {
        retries.push_back(isRetry);
        if (retries.size() > 1) {
            return false;
        }
        std::snprintf(userName, 256, "%s", "alice");
        std::snprintf(password, 256, "%s", "secret");
        return true;
    };
    XmlRpcValue result;
    EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
    EXPECT_EQ(client.errorText, kAuthText);
    EXPECT_EQ(retries, (std::vector<bool>{false, true}));
    EXPECT_EQ(countCalls(fake, "setOption connection 28 alice"), 1u);
    EXPECT_EQ(countCalls(fake, "setOption connection 29 secret"), 1u);
    ASSERT_EQ(fake.sentBodies.size(), 2u);
    EXPECT_EQ(fake.sentBodies[0], fake.sentBodies[1]);
    EXPECT_EQ(countCalls(fake, "openRequest"), 2u);
    EXPECT_EQ(countCalls(fake, "closeHandle request"), 2u);
    EXPECT_EQ(fake.openHandleCount(), 2);
}

TEST(XmlRpcClientCredentials, AcceptedCredentialsEndInTheResult) {
    for (uint32_t status : {401u, 407u}) {
        FakeInternetTransport fake;
        fake.responses.push_back(answer(status, "Auth", {"no", "pe"}));
        fake.responses.push_back(okAnswer(kFldigiReply));
        // A failed read of the refused answer must not spoil the successful second attempt.
        fake.failAt(FakeStep::ReadFile, 12031, 2);
        XmlRpcClient client(kUrl, fake);
        client.credentialsHook = [](bool, char* userName, char* password) {
            userName[0] = 'u';
            userName[1] = '\0';
            password[0] = '\0';
            return true;
        };
        XmlRpcValue result;
        EXPECT_TRUE(client.call("fldigi.name", XmlRpcValue(), result)) << client.errorText;
        EXPECT_STREQ(result.stringValue(), "fldigi");
    }
}

TEST(XmlRpcClientCredentials, OverlongAnswersAreCutToTheBuffer) {
    FakeInternetTransport fake;
    fake.responses.push_back(answer(401, "Unauthorized", {}));
    fake.responses.push_back(answer(401, "Unauthorized", {}));
    XmlRpcClient client(kUrl, fake);
    int asked = 0;
    client.credentialsHook = [&](bool, char* userName, char* password) {
        std::memset(userName, 'u', 256);  // no terminator
        std::memset(password, 'p', 256);
        return ++asked == 1;
    };
    XmlRpcValue result;
    EXPECT_FALSE(client.call("x", XmlRpcValue(), result));
    EXPECT_EQ(countCalls(fake, "setOption connection 28 " + std::string(255, 'u')), 1u);
    EXPECT_EQ(countCalls(fake, "setOption connection 29 " + std::string(255, 'p')), 1u);
}

// ---- progress ----

void collect(void* context, const char* text) {
    static_cast<std::vector<std::string>*>(context)->push_back(text);
}

TEST(XmlRpcClientProgress, ReportsEachStepOfACall) {
    FakeInternetTransport fake;
    fake.responses.push_back(answer(200, "OK", {"<?xml version=\"1.0\"?>", kFldigiReply + 21}));
    XmlRpcClient client(kUrl, fake);
    std::vector<std::string> texts;
    client.progressHook = &collect;
    client.progressContext = &texts;
    XmlRpcValue result;
    ASSERT_TRUE(client.call("fldigi.name", XmlRpcValue(), result)) << client.errorText;
    EXPECT_EQ(texts, (std::vector<std::string>{"Sending data", "Sending data", "Data sent",
                                               "Data sent...", "Waiting for response",
                                               "Response received", "Receiving response",
                                               "Response received", "Handle closing"}));
}

TEST(XmlRpcClientProgress, StatusTexts) {
    FakeInternetTransport fake;
    XmlRpcClient client(kUrl, fake);
    std::vector<std::string> texts;
    XmlRpcClient::onInternetStatus(&client, 30);  // no hook yet: nothing
    client.progressHook = &collect;
    client.progressContext = &texts;
    XmlRpcClient::onInternetStatus(nullptr, 30);  // no client: nothing
    for (uint32_t status : {30u, 31u, 40u, 41u, 70u, 60u, 4294967295u}) {
        XmlRpcClient::onInternetStatus(&client, status);
    }
    client.bytesReceived = 1;
    XmlRpcClient::onInternetStatus(&client, 40);
    EXPECT_EQ(texts, (std::vector<std::string>{"Sending data", "Data sent", "Waiting for response",
                                               "Response received", "Handle closing", "Status 60",
                                               "Status 4294967295", "Receiving response"}));
}

TEST(XmlRpcClientProgress, NothingIsReportedWithoutAHook) {
    FakeInternetTransport fake;
    fake.responses.push_back(okAnswer(kFldigiReply));
    XmlRpcClient client(kUrl, fake);
    XmlRpcValue result;
    EXPECT_TRUE(client.call("fldigi.name", XmlRpcValue(), result));
}

// ---- several calls on one client ----

TEST(XmlRpcClientCalls, EachCallStartsClean) {
    FakeInternetTransport fake;
    fake.responses.push_back(answer(404, "Not Found", {}));
    fake.responses.push_back(okAnswer(kFldigiReply));
    XmlRpcClient client(kUrl, fake);
    XmlRpcValue result;
    EXPECT_FALSE(client.call("a", XmlRpcValue(), result));
    EXPECT_EQ(client.httpStatus, 404);
    EXPECT_TRUE(client.call("b", XmlRpcValue(), result));
    EXPECT_EQ(client.errorText, "");
    EXPECT_EQ(client.httpStatus, 200);
    EXPECT_EQ(countCalls(fake, "openRoot"), 1u);
    EXPECT_EQ(countCalls(fake, "connect"), 1u);
}

}  // namespace
