#include "xmlrpc/client/http_response_reader.h"

#include <algorithm>

#include "base/char_class.h"

namespace {

constexpr size_t kMaxChunkLine = 4096;

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return std::string();
    }
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// True while the bytes received so far could still begin a status line "HTTP/".
bool couldBeStatusLine(const std::string& head) {
    static const char kPrefix[] = "http/";
    const size_t n = std::min(head.size(), sizeof kPrefix - 1);
    for (size_t i = 0; i < n; ++i) {
        if (charclass::lower(head[i]) != kPrefix[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool HttpResponseReader::fail(Failure failure) {
    phase_ = Phase::Failed;
    failure_ = failure;
    return false;
}

bool HttpResponseReader::feed(const char* data, size_t size, std::string& body) {
    if (phase_ == Phase::Failed) {
        return false;
    }
    if (phase_ == Phase::Done) {
        return true;  // anything after the end of the response is not ours
    }
    if (phase_ == Phase::Body) {
        return feedBody(data, size, body);
    }
    size_t searchFrom = head_.size() < 3 ? 0 : head_.size() - 3;
    head_.append(data, size);
    for (;;) {
        if (!couldBeStatusLine(head_)) {
            // No status line at all: an HTTP/0.9 answer, all body, ended by the close.
            statusCode_ = 200;
            statusText_ = "OK";
            framing_ = Framing::UntilClose;
            phase_ = Phase::Body;
            body += head_;
            head_.clear();
            return true;
        }
        const size_t crlf = head_.find("\r\n\r\n", searchFrom);
        const size_t lf = head_.find("\n\n", searchFrom);
        const size_t end = std::min(crlf == std::string::npos ? crlf : crlf + 4,
                                    lf == std::string::npos ? lf : lf + 2);
        if (end == std::string::npos) {
            return head_.size() > maxHeadBytes_ ? fail(Failure::HeadTooLarge) : true;
        }
        if (end > maxHeadBytes_) {
            return fail(Failure::HeadTooLarge);
        }
        std::string rest = head_.substr(end);
        head_.resize(end);
        if (!parseHead(head_)) {
            return fail(Failure::Malformed);
        }
        head_.clear();
        if (statusCode_ >= 100 && statusCode_ < 200) {
            // An interim answer ("100 Continue"): the real one follows.
            head_ = std::move(rest);
            searchFrom = 0;
            framing_ = Framing::UntilClose;
            lengthSeen_ = false;
            continue;
        }
        phase_ = Phase::Body;
        if (framing_ == Framing::None || (framing_ == Framing::Length && remaining_ == 0)) {
            phase_ = Phase::Done;
            return true;
        }
        return feedBody(rest.data(), rest.size(), body);
    }
}

bool HttpResponseReader::parseHead(const std::string& head) {
    size_t lineStart = 0;
    bool statusLine = true;
    while (lineStart < head.size()) {
        size_t lineEnd = head.find('\n', lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = head.size();
        }
        std::string line = head.substr(lineStart, lineEnd - lineStart);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lineStart = lineEnd + 1;
        if (statusLine) {
            // "HTTP/1.1 200 OK": version, blank, three digits, blank, reason phrase.
            const size_t blank = line.find(' ');
            if (blank == std::string::npos) {
                return false;
            }
            size_t at = line.find_first_not_of(' ', blank);
            if (at == std::string::npos || at + 3 > line.size()) {
                return false;
            }
            int code = 0;
            for (size_t i = at; i < at + 3; ++i) {
                if (!charclass::isDigit(line[i])) {
                    return false;
                }
                code = code * 10 + (line[i] - '0');
            }
            at += 3;
            if (at < line.size() && line[at] != ' ') {
                return false;
            }
            statusCode_ = code;
            statusText_ = at < line.size() ? line.substr(at + 1) : std::string();
            statusLine = false;
        } else if (!line.empty() && !parseHeaderLine(line)) {
            return false;
        }
    }
    if (framing_ != Framing::Chunked) {
        framing_ = lengthSeen_ ? Framing::Length : Framing::UntilClose;
    }
    if (statusCode_ == 204 || statusCode_ == 304 || (statusCode_ >= 100 && statusCode_ < 200)) {
        framing_ = Framing::None;
    }
    return true;
}

bool HttpResponseReader::parseHeaderLine(const std::string& line) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos || line[0] == ' ' || line[0] == '\t') {
        return true;  // not a header we act on
    }
    const std::string name = trimmed(line.substr(0, colon));
    const std::string value = trimmed(line.substr(colon + 1));
    if (charclass::equalsIgnoreCase(name.c_str(), "Content-Length")) {
        if (value.empty() || value.size() > 18 ||
            value.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        const uint64_t length = std::stoull(value);
        if (lengthSeen_ && length != remaining_) {
            return false;  // two different lengths: no way to tell where the body ends
        }
        lengthSeen_ = true;
        remaining_ = length;
    } else if (charclass::equalsIgnoreCase(name.c_str(), "Transfer-Encoding")) {
        if (charclass::equalsIgnoreCase(value.c_str(), "chunked")) {
            framing_ = Framing::Chunked;
            chunkState_ = ChunkState::Size;
        } else if (!charclass::equalsIgnoreCase(value.c_str(), "identity")) {
            return false;  // compressed or layered codings are not understood
        }
    }
    return true;
}

bool HttpResponseReader::feedBody(const char* data, size_t size, std::string& body) {
    switch (framing_) {
        case Framing::UntilClose:
            body.append(data, size);
            return true;
        case Framing::Length: {
            const size_t take = static_cast<size_t>(std::min<uint64_t>(remaining_, size));
            body.append(data, take);
            remaining_ -= take;
            if (remaining_ == 0) {
                phase_ = Phase::Done;
            }
            return true;
        }
        case Framing::Chunked:
            return feedChunked(data, size, body);
        case Framing::None:
            phase_ = Phase::Done;
            return true;
    }
    return true;
}

bool HttpResponseReader::feedChunked(const char* data, size_t size, std::string& body) {
    size_t at = 0;
    while (at < size && phase_ == Phase::Body) {
        switch (chunkState_) {
            case ChunkState::Size:
            case ChunkState::Trailer: {
                const char c = data[at++];
                if (c != '\n') {
                    if (line_.size() >= kMaxChunkLine) {
                        return fail(Failure::Malformed);
                    }
                    line_ += c;
                    break;
                }
                if (!line_.empty() && line_.back() == '\r') {
                    line_.pop_back();
                }
                if (chunkState_ == ChunkState::Size) {
                    if (!parseChunkSize()) {
                        return fail(Failure::Malformed);
                    }
                    chunkState_ = remaining_ == 0 ? ChunkState::Trailer : ChunkState::Data;
                } else if (line_.empty()) {
                    phase_ = Phase::Done;
                }
                line_.clear();
                break;
            }
            case ChunkState::Data: {
                const size_t take = static_cast<size_t>(std::min<uint64_t>(remaining_, size - at));
                body.append(data + at, take);
                at += take;
                remaining_ -= take;
                if (remaining_ == 0) {
                    chunkState_ = ChunkState::DataEnd;
                }
                break;
            }
            case ChunkState::DataEnd: {
                const char c = data[at++];
                if (c == '\n') {
                    chunkState_ = ChunkState::Size;
                } else if (c != '\r') {
                    return fail(Failure::Malformed);
                }
                break;
            }
        }
    }
    return true;
}

bool HttpResponseReader::parseChunkSize() {
    const std::string text = trimmed(line_.substr(0, line_.find(';')));
    if (text.empty() || text.size() > 15 ||
        text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return false;
    }
    remaining_ = std::stoull(text, nullptr, 16);
    return true;
}

bool HttpResponseReader::finish(std::string& body) {
    switch (phase_) {
        case Phase::Done:
            return true;
        case Phase::Failed:
            return false;
        case Phase::Head:
            if (!head_.empty() && !couldBeStatusLine(head_)) {
                body += head_;  // unreachable in practice: feed() already took it as HTTP/0.9
                phase_ = Phase::Done;
                return true;
            }
            return fail(head_.empty() ? Failure::Malformed : Failure::Truncated);
        case Phase::Body:
            if (framing_ == Framing::UntilClose) {
                phase_ = Phase::Done;
                return true;
            }
            return fail(Failure::Truncated);
    }
    return false;
}
