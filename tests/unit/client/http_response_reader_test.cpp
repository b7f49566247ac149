// The HTTP response reader of the socket transport, fed whole and one byte at a time.
#include "xmlrpc/client/http_response_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

namespace {

using Failure = HttpResponseReader::Failure;

struct ReaderCase {
    const char* name;
    std::string stream;  // everything the server sends
    bool closes;         // the server closes after it
    bool ok;
    Failure failure;
    int status;
    const char* statusText;
    std::string body;
};

struct Outcome {
    bool ok;
    bool complete;
    Failure failure;
    int status;
    std::string statusText;
    std::string body;
};

Outcome run(const ReaderCase& c, size_t pieceSize) {
    HttpResponseReader reader(256);
    std::string body;
    bool ok = true;
    for (size_t at = 0; ok && at < c.stream.size(); at += pieceSize) {
        const size_t n = std::min(pieceSize, c.stream.size() - at);
        ok = reader.feed(c.stream.data() + at, n, body);
    }
    if (ok && c.closes) {
        ok = reader.finish(body);
    }
    return {ok && reader.complete(), reader.complete(),   reader.failure(),
            reader.statusCode(),     reader.statusText(), body};
}

void PrintTo(const ReaderCase& c, std::ostream* out) {
    *out << c.name;
}

class Reader : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(Reader, WholeAndBytewise) {
    const ReaderCase& c = GetParam();
    for (size_t piece : {c.stream.size() + 1, size_t{1}, size_t{7}}) {
        const Outcome outcome = run(c, piece);
        EXPECT_EQ(outcome.ok, c.ok) << "piece " << piece;
        EXPECT_EQ(outcome.failure, c.failure) << "piece " << piece;
        if (c.ok) {
            EXPECT_EQ(outcome.status, c.status);
            EXPECT_EQ(outcome.statusText, c.statusText);
            EXPECT_EQ(outcome.body, c.body) << "piece " << piece;
        }
    }
}

const std::string kLongHeader = "X-Filler: " + std::string(300, 'f') + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Table, Reader,
    ::testing::Values(
        ReaderCase{"lengthLowerCaseName", "HTTP/1.1 200 OK\r\nContent-length: 5\r\n\r\nhelloEXTRA",
                   false, true, Failure::None, 200, "OK", "hello"},
        ReaderCase{"lengthKeptOpen", "HTTP/1.1 200 OK\r\nCONTENT-LENGTH:   3  \r\n\r\nabc", false,
                   true, Failure::None, 200, "OK", "abc"},
        ReaderCase{"zeroLength", "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", false, true,
                   Failure::None, 200, "OK", ""},
        ReaderCase{"untilClose", "HTTP/1.0 200 OK\r\nServer: x\r\n\r\nall of it", true, true,
                   Failure::None, 200, "OK", "all of it"},
        ReaderCase{"bareLineFeeds", "HTTP/1.0 404 Not Found\nContent-Length: 2\n\nno", false, true,
                   Failure::None, 404, "Not Found", "no"},
        ReaderCase{"reasonWithBlanks", "HTTP/1.0 500 Internal Server Error\r\n\r\n", true, true,
                   Failure::None, 500, "Internal Server Error", ""},
        ReaderCase{"noReason", "HTTP/1.0 503\r\n\r\n", true, true, Failure::None, 503, "", ""},
        ReaderCase{"chunked",
                   "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                   "5;ext=1\r\nhello\r\nA\r\n, world!!!\r\n0\r\nTrailer: t\r\n\r\nNEXT",
                   false, true, Failure::None, 200, "OK", "hello, world!!!"},
        ReaderCase{"chunkedWinsOverLength",
                   "HTTP/1.1 200 OK\r\nContent-Length: 99\r\nTransfer-Encoding: Chunked\r\n\r\n"
                   "2\r\nok\r\n0\r\n\r\n",
                   false, true, Failure::None, 200, "OK", "ok"},
        ReaderCase{"interimContinue",
                   "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhi",
                   false, true, Failure::None, 200, "OK", "hi"},
        ReaderCase{"noContent", "HTTP/1.1 204 No Content\r\n\r\n", false, true, Failure::None, 204,
                   "No Content", ""},
        ReaderCase{"http09", "<html><body>plain page</body></html>", true, true, Failure::None, 200,
                   "OK", "<html><body>plain page</body></html>"},
        ReaderCase{"badChunkSize",
                   "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n", false,
                   false, Failure::Malformed, 0, "", ""},
        ReaderCase{"chunkWithoutLineEnd",
                   "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nokX0\r\n\r\n", false,
                   false, Failure::Malformed, 0, "", ""},
        ReaderCase{"compressed", "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\nxx", true,
                   false, Failure::Malformed, 0, "", ""},
        ReaderCase{"twoLengths",
                   "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nabc", true,
                   false, Failure::Malformed, 0, "", ""},
        ReaderCase{"badLength", "HTTP/1.1 200 OK\r\nContent-Length: -2\r\n\r\nab", true, false,
                   Failure::Malformed, 0, "", ""},
        ReaderCase{"badStatus", "HTTP/1.1 2x0 OK\r\n\r\n", true, false, Failure::Malformed, 0, "",
                   ""},
        ReaderCase{"truncatedBody", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", true, false,
                   Failure::Truncated, 0, "", ""},
        ReaderCase{"truncatedChunks",
                   "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab", true, false,
                   Failure::Truncated, 0, "", ""},
        ReaderCase{"truncatedHead", "HTTP/1.1 200 OK\r\nContent-", true, false, Failure::Truncated,
                   0, "", ""},
        ReaderCase{"nothingAtAll", "", true, false, Failure::Malformed, 0, "", ""},
        ReaderCase{"headTooLarge", "HTTP/1.1 200 OK\r\n" + kLongHeader + "\r\nbody", true, false,
                   Failure::HeadTooLarge, 0, "", ""}),
    [](const ::testing::TestParamInfo<ReaderCase>& info) { return info.param.name; });

TEST(HttpResponseReader, DelimitedBodiesAreKnown) {
    HttpResponseReader framed;
    HttpResponseReader open;
    std::string body;
    framed.feed("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\n", 38, body);
    open.feed("HTTP/1.0 200 OK\r\n\r\n", 19, body);
    EXPECT_TRUE(framed.delimited());
    EXPECT_FALSE(open.delimited());
}

}  // namespace
