// The poll cycle's view of fldigi: sessions with its XML-RPC server, one call at a time.
#pragma once

#include <memory>
#include <string>

namespace pollcycle {

// fldigi's XML-RPC server on this machine; the endpoint the bridge talks to unless told another
// (--fldigi).
inline constexpr const char* kFldigiEndpoint = "http://127.0.0.1:7362/RPC2";

// The outcome of one call: whether it succeeded and, when the result is a string, its text
// (in UTF-8, decoded by the port).
struct FldigiReply {
    bool ok = false;
    bool isString = false;
    std::string text;
};

// One client for the endpoint (created with acceptUnknownAuthority set). Destroying the
// session closes its connection.
class FldigiSession {
  public:
    virtual ~FldigiSession() = default;
    // Calls `method` with an empty parameter list.
    virtual FldigiReply call(const char* method) = 0;
    // Why the last call failed (the client's error text, in UTF-8); empty when it succeeded.
    virtual std::string lastError() const { return {}; }
};

class FldigiPort {
  public:
    virtual ~FldigiPort() = default;
    virtual std::unique_ptr<FldigiSession> openSession() = 0;
    // A text of fldigi's in UTF-8: its replies and the fields of the contacts it logs come as
    // 8-bit texts in UTF-8 or in the system's ANSI code page, and are decoded here, once, where
    // they enter the bridge. Without a decoder of its own the port keeps the bytes.
    virtual std::string decodeText(const std::string& bytes) const { return bytes; }
};

}  // namespace pollcycle
