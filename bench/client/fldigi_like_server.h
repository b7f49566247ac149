// A small HTTP server on 127.0.0.1 (free port) in its own thread, answering every XML-RPC call
// the way fldigi does: HTTP/1.1 200, "Content-length", a bare <value> string, then close.
// Over POSIX sockets natively, over Winsock in the Windows build (the Wine benchmark).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class FldigiLikeServer {
  public:
#ifdef _WIN32
    using Socket = uintptr_t;  // Winsock's SOCKET
#else
    using Socket = int;
#endif

    FldigiLikeServer();
    ~FldigiLikeServer();
    FldigiLikeServer(const FldigiLikeServer&) = delete;
    FldigiLikeServer& operator=(const FldigiLikeServer&) = delete;

    uint16_t port() const {
        return port_;
    }

  private:
    void serve();
    void answer(Socket connection) const;

    Socket listener_ = ~Socket{0};
    uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
