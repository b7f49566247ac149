// Incremental reader of one HTTP response as it arrives over a byte stream: status line and
// headers (bounded in size), then the body framed by Content-Length, chunked transfer coding or
// the end of the stream. Portable; used by the POSIX socket transport.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class HttpResponseReader {
  public:
    enum class Failure {
        None,
        Malformed,  // not a response this reader understands (status line, headers, chunks)
        HeadTooLarge,
        Truncated,  // the stream ended before the announced end of the body
    };

    static constexpr size_t kDefaultMaxHeadBytes = 64 * 1024;

    explicit HttpResponseReader(size_t maxHeadBytes = kDefaultMaxHeadBytes)
        : maxHeadBytes_(maxHeadBytes) {}

    // Takes the next bytes of the stream; decoded body bytes are appended to `body`.
    // Returns false once the response is found to be broken (see failure()).
    bool feed(const char* data, size_t size, std::string& body);
    // The stream ended. Returns false when that leaves the response incomplete.
    bool finish(std::string& body);

    bool headComplete() const { return phase_ != Phase::Head; }
    bool complete() const { return phase_ == Phase::Done; }
    Failure failure() const { return failure_; }
    int statusCode() const { return statusCode_; }
    const std::string& statusText() const { return statusText_; }
    // True when the server framed the body, so the stream could carry another response.
    bool delimited() const { return framing_ != Framing::UntilClose; }

  private:
    enum class Phase { Head, Body, Done, Failed };
    enum class Framing { UntilClose, Length, Chunked, None };
    enum class ChunkState { Size, Data, DataEnd, Trailer };

    bool fail(Failure failure);
    bool parseHead(const std::string& head);
    bool parseHeaderLine(const std::string& line);
    bool feedBody(const char* data, size_t size, std::string& body);
    bool feedChunked(const char* data, size_t size, std::string& body);
    bool parseChunkSize();

    size_t maxHeadBytes_;
    Phase phase_ = Phase::Head;
    Failure failure_ = Failure::None;
    std::string head_;
    int statusCode_ = 0;
    std::string statusText_;
    Framing framing_ = Framing::UntilClose;
    bool lengthSeen_ = false;
    uint64_t remaining_ = 0;  // body bytes (Length) or chunk bytes (Chunked) still to come
    ChunkState chunkState_ = ChunkState::Size;
    std::string line_;  // chunk size or trailer line being collected
};
