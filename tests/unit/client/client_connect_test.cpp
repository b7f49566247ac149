// XmlRpcClient over the scripted transport: URL parsing and the connect step.
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
    EXPECT_EQ(client.scheme(), c.scheme);
    EXPECT_EQ(client.port(), c.port);
    EXPECT_EQ(client.path(), c.path);
    EXPECT_EQ(countCalls(fake, c.connectCall), 1u);
    EXPECT_EQ(client.errorText(), "");
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
        EXPECT_EQ(client.errorText(), "The URI must begin with \"https://\" or \"http://\".");
        EXPECT_TRUE(fake.calls.empty());
        XmlRpcValue result;
        EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
        EXPECT_EQ(client.errorText(), "No connection");
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
        EXPECT_EQ(client.progressHook(), nullptr);
        EXPECT_EQ(client.bytesReceived(), 0);
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
            EXPECT_EQ(client.errorText(), c.text);
            EXPECT_EQ(fake.openHandleCount(), c.handlesLeft);
            XmlRpcValue result;
            EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
            EXPECT_EQ(client.errorText(), "No connection");
        }
        EXPECT_EQ(fake.openHandleCount(), 0);
    }
}

}  // namespace
