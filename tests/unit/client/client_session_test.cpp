// XmlRpcClient over the scripted transport: credentials, progress texts, several calls on one
// client.
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

// ---- credentials ----

TEST(XmlRpcClientCredentials, HookIsAskedUntilItGivesUpAndTheSameRequestIsResent) {
    FakeInternetTransport fake;
    fake.responses.push_back(answer(401, "Unauthorized", {"no"}));
    fake.responses.push_back(answer(401, "Unauthorized", {"no"}));
    XmlRpcClient client(kUrl, fake);
    std::vector<bool> retries;
    client.setCredentialsHook([&](bool isRetry, char* userName, char* password) {
        retries.push_back(isRetry);
        if (retries.size() > 1) {
            return false;
        }
        std::snprintf(userName, 256, "%s", "alice");
        std::snprintf(password, 256, "%s", "secret");
        return true;
    });
    XmlRpcValue result;
    EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
    EXPECT_EQ(client.errorText(), kAuthText);
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
        client.setCredentialsHook([](bool, char* userName, char* password) {
            userName[0] = 'u';
            userName[1] = '\0';
            password[0] = '\0';
            return true;
        });
        XmlRpcValue result;
        EXPECT_TRUE(client.call("fldigi.name", XmlRpcValue(), result)) << client.errorText();
        EXPECT_STREQ(result.stringValue(), "fldigi");
    }
}

TEST(XmlRpcClientCredentials, OverlongAnswersAreCutToTheBuffer) {
    FakeInternetTransport fake;
    fake.responses.push_back(answer(401, "Unauthorized", {}));
    fake.responses.push_back(answer(401, "Unauthorized", {}));
    XmlRpcClient client(kUrl, fake);
    int asked = 0;
    client.setCredentialsHook([&](bool, char* userName, char* password) {
        std::memset(userName, 'u', 256);  // no terminator
        std::memset(password, 'p', 256);
        return ++asked == 1;
    });
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
    client.setProgressHook(&collect, &texts);
    XmlRpcValue result;
    ASSERT_TRUE(client.call("fldigi.name", XmlRpcValue(), result)) << client.errorText();
    EXPECT_EQ(texts, (std::vector<std::string>{"Sending data", "Sending data", "Data sent",
                                               "Data sent...", "Waiting for response",
                                               "Response received", "Receiving response",
                                               "Response received", "Handle closing"}));
}

TEST(XmlRpcClientProgress, StatusTexts) {
    FakeInternetTransport fake;
    fake.responses.push_back(okAnswer(kFldigiReply));
    XmlRpcClient client(kUrl, fake);
    std::vector<std::string> texts;
    XmlRpcClient::onInternetStatus(&client, 30);  // no hook yet: nothing
    client.setProgressHook(&collect, &texts);
    XmlRpcClient::onInternetStatus(nullptr, 30);  // no client: nothing
    for (uint32_t status : {30u, 31u, 40u, 41u, 70u, 60u, 4294967295u}) {
        XmlRpcClient::onInternetStatus(&client, status);
    }
    client.setProgressHook(nullptr, nullptr);
    XmlRpcValue result;
    ASSERT_TRUE(client.call("fldigi.name", XmlRpcValue(), result));  // bytes received now
    client.setProgressHook(&collect, &texts);
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
    EXPECT_EQ(client.httpStatus(), 404);
    EXPECT_TRUE(client.call("b", XmlRpcValue(), result));
    EXPECT_EQ(client.errorText(), "");
    EXPECT_EQ(client.httpStatus(), 200);
    EXPECT_EQ(countCalls(fake, "openRoot"), 1u);
    EXPECT_EQ(countCalls(fake, "connect"), 1u);
}

}  // namespace
