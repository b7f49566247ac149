// XmlRpcClient over the scripted transport: the kind of each failure, beside its text.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "client_test_support.h"
#include "fake_internet_transport.h"
#include "xmlrpc/client/client.h"

namespace {

using namespace clienttest;
using Kind = XmlRpcClient::ErrorKind;

struct KindCase {
    const char* name;
    const char* url;
    FakeResponse response;
    FakeStep failingStep;
    uint32_t failureCode;  // 0: no step fails
    int occurrence;
    bool unwritableParams;
    Kind afterConstruction;
    Kind afterCall;
};

void PrintTo(const KindCase& c, std::ostream* out) {
    *out << c.name;
}

KindCase row(const char* name, FakeResponse response, Kind afterCall) {
    return {name, kUrl,  std::move(response), FakeStep::OpenRoot, 0,
            1,    false, Kind::None,          afterCall};
}

KindCase failing(const char* name, FakeStep step, uint32_t code, int occurrence, Kind afterCall) {
    KindCase c = row(name, answer(200, "OK", {kFldigiReply, "more"}), afterCall);
    c.failingStep = step;
    c.failureCode = code;
    c.occurrence = occurrence;
    return c;
}

KindCase unconnected(const char* name, const char* url, FakeStep step, uint32_t code,
                     Kind afterConstruction) {
    KindCase c = failing(name, step, code, 1, Kind::NotConnected);
    c.url = url;
    c.afterConstruction = afterConstruction;
    return c;
}

class ErrorKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(ErrorKinds, NameTheFailureAndAreNoneExactlyWithoutText) {
    const KindCase& c = GetParam();
    FakeInternetTransport fake;
    fake.responses.push_back(c.response);
    if (c.failureCode != 0) {
        fake.failAt(c.failingStep, c.failureCode, c.occurrence);
    }
    XmlRpcClient client(c.url, fake);
    EXPECT_EQ(client.errorKind(), c.afterConstruction);
    XmlRpcValue params;
    if (c.unwritableParams) {
        params.setArray();
        params.append();  // an Undefined element
    }
    XmlRpcValue result;
    const bool returned = client.call("fldigi.name", params, result);
    EXPECT_EQ(client.errorKind(), c.afterCall) << client.errorText();
    EXPECT_EQ(returned, c.afterCall == Kind::None);
    EXPECT_EQ(client.errorText().empty(), c.afterCall == Kind::None);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorKinds,
    ::testing::Values(
        row("ok", okAnswer(kFldigiReply), Kind::None),
        unconnected("otherScheme", "ftp://h/x", FakeStep::OpenRoot, 0, Kind::InvalidUrl),
        unconnected("rootRefused", kUrl, FakeStep::OpenRoot, 12172, Kind::Connect),
        unconnected("connectRefused", kUrl, FakeStep::Connect, 12005, Kind::Connect),
        unconnected("connectTimedOut", kUrl, FakeStep::Connect, 12002, Kind::TimedOut),
        [] {
            KindCase c = row("unwritableParams", okAnswer(kFldigiReply), Kind::Encode);
            c.unwritableParams = true;
            return c;
        }(),
        failing("requestRefused", FakeStep::OpenRequest, 12029, 1, Kind::Send),
        failing("sendResetOnceIsSentAgain", FakeStep::SendRequest, 12031, 1, Kind::None),
        failing("sendAbortedOnceIsSentAgain", FakeStep::SendRequest, 12030, 1, Kind::None),
        failing("sendTimedOut", FakeStep::SendRequest, 12002, 1, Kind::TimedOut),
        failing("readReset", FakeStep::ReadFile, 12031, 2, Kind::Receive),
        failing("availableReset", FakeStep::QueryDataAvailable, 12031, 2, Kind::Receive),
        failing("readTimedOut", FakeStep::ReadFile, 12002, 2, Kind::TimedOut),
        failing("firstReadFailsThenEmpty", FakeStep::ReadFile, 12031, 1, Kind::EmptyResponse),
        failing("noStatusCode", FakeStep::QueryStatusCode, 12150, 1, Kind::StatusUnreadable),
        [] {
            KindCase c = failing("noReasonPhrase", FakeStep::QueryStatusText, 12150, 1,
                                 Kind::StatusUnreadable);
            c.response = answer(500, "Oops", {});
            return c;
        }(),
        row("notFound", answer(404, "Not Found", {"gone"}), Kind::HttpStatus),
        row("unauthorized", answer(401, "Unauthorized", {}), Kind::Authentication),
        row("proxyAuth", answer(407, "Proxy Authentication Required", {}), Kind::Authentication),
        row("empty200", answer(200, "OK", {}), Kind::EmptyResponse),
        row("htmlPage", okAnswer("<!DOCTYPE html>\n<html></html>"), Kind::Decode),
        row("fault", okAnswer(faultReply(faultStruct("<value>boom</value>"))), Kind::Fault),
        row("faultWithoutText", okAnswer(faultReply(faultStruct("<value></value>"))), Kind::None),
        row("faultNotAStruct", okAnswer(faultReply("<value><i4>3</i4></value>")), Kind::Decode)),
    [](const ::testing::TestParamInfo<KindCase>& info) { return info.param.name; });

// A connection dropped under the request is worth one more sending, not two.
TEST(ErrorKinds, ADroppedConnectionTwiceIsASendFailure) {
    FakeInternetTransport fake;
    fake.responses.push_back(okAnswer(kFldigiReply));
    fake.failAt(FakeStep::SendRequest, 12031, 1);
    fake.failAt(FakeStep::SendRequest, 12031, 2);
    XmlRpcClient client(kUrl, fake);
    XmlRpcValue result;
    EXPECT_FALSE(client.call("fldigi.name", XmlRpcValue(), result));
    EXPECT_EQ(client.errorKind(), Kind::Send);
    EXPECT_EQ(fake.sentBodies.size(), 2u);
    EXPECT_EQ(fake.openHandleCount(), 2) << "the root and the connection; no request left open";
}

}  // namespace
