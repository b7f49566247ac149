// Blocking-with-time-out TCP operations for the POSIX transport. Failures are reported as the
// internet error codes of internet_transport.h (refused: 12029, time-out: 12002, reset: 12031,
// unknown host: 12007).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/unique_handle.h"

// A socket's file descriptor: -1 when empty.
struct SocketTraits {
    using Handle = int;
    static constexpr int null() noexcept { return -1; }
    static void close(int fd) noexcept;
};
using SocketHandle = UniqueHandle<SocketTraits>;

class PosixSocket {
  public:
    bool isOpen() const { return static_cast<bool>(fd_); }
    void close() { fd_.reset(); }

    // Resolves `host` and connects to the first address that accepts, within `timeoutMs` for
    // each address. On failure returns false with `error` set.
    bool connect(const std::string& host, uint16_t port, uint32_t timeoutMs, uint32_t& error);
    // Writes all bytes, waiting at most `timeoutMs` each time the peer is not taking them.
    bool sendAll(const char* data, size_t size, uint32_t timeoutMs, uint32_t& error);
    // Waits at most `timeoutMs` for bytes and reads up to `size` of them; `received` 0 means
    // the peer closed the stream.
    bool receive(char* buffer, size_t size, uint32_t timeoutMs, size_t& received, uint32_t& error);

  private:
    // Connects to the first of `addresses` that accepts.
    bool connectTo(const struct addrinfo* addresses, uint32_t timeoutMs, uint32_t& error);
    // 1: ready, 0: timed out, -1: failed (errno set).
    int waitFor(short events, uint32_t timeoutMs) const;
    // Waits for `events` after a send or receive would have blocked: true when ready, false
    // with the time-out or the socket's failure in `error`.
    bool waitUntilReady(short events, uint32_t timeoutMs, uint32_t& error) const;

    SocketHandle fd_;
};
