#include "base/endpoint.h"

#include <gtest/gtest.h>

namespace endpoint {
namespace {

struct SplitRow {
    const char* url;
    Scheme scheme;
    uint16_t defaultPort;
    const char* host;
    bool portGiven;
    const char* rest;
};

TEST(Endpoint, SplitsSchemeHostAndRestAsWritten) {
    const SplitRow rows[] = {
        {"http://127.0.0.1:7362/RPC2", Scheme::Http, 80, "127.0.0.1", true, "7362/RPC2"},
        {"hTtPs://h", Scheme::Https, 443, "h", false, ""},
        {"http://h/a:b", Scheme::Http, 80, "h", false, "/a:b"},
        {"http://:81/p", Scheme::Http, 80, "", true, "81/p"},
        {"http://h:-1/", Scheme::Http, 80, "h", true, "-1/"},
        {"http:/h", Scheme::None, 0, "", false, ""},
        {"", Scheme::None, 0, "", false, ""},
    };
    for (const SplitRow& row : rows) {
        const UrlParts parts = splitUrl(row.url);
        EXPECT_EQ(parts.scheme, row.scheme) << row.url;
        EXPECT_EQ(parts.defaultPort, row.defaultPort) << row.url;
        EXPECT_EQ(parts.host, row.host) << row.url;
        EXPECT_EQ(parts.portGiven, row.portGiven) << row.url;
        EXPECT_EQ(parts.rest, row.rest) << row.url;
    }
}

TEST(Endpoint, RefusesWhatTheClientWouldMisread) {
    const std::pair<const char*, const char*> rows[] = {
        {"http://h:7362/RPC2", ""},
        {"http://h:70000/", "The port of the URL must be a number from 1 to 65535."},
        {"http://h:-1/", "The port of the URL must be a number from 1 to 65535."},
        {"http:/h", kSchemeProblem},
    };
    for (const auto& [url, problem] : rows) {
        EXPECT_EQ(endpointProblem(url), problem) << url;
    }
}

}  // namespace
}  // namespace endpoint
