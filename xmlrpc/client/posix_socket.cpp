#include "xmlrpc/client/posix_socket.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "xmlrpc/client/internet_transport.h"

namespace {

struct AddressListTraits : NullWhenEmpty<addrinfo*> {
    static void close(addrinfo* list) noexcept { ::freeaddrinfo(list); }
};
using AddressList = UniqueHandle<AddressListTraits>;

uint32_t codeForErrno(int error) {
    switch (error) {
        case ETIMEDOUT:
        case EAGAIN:
            return kErrorInternetTimeout;
        case ECONNRESET:
        case EPIPE:
            return kErrorInternetConnectionReset;
        case ECONNABORTED:
            return kErrorInternetConnectionAborted;
        default:
            return kErrorInternetCannotConnect;
    }
}

// poll() with the time-out split so that a time-out above INT_MAX ms cannot wrap.
int pollFor(int fd, short events, uint32_t timeoutMs) {
    pollfd entry{fd, events, 0};
    int result;
    do {
        result =
            ::poll(&entry, 1, static_cast<int>(timeoutMs > 0x7fffffffu ? 0x7fffffffu : timeoutMs));
    } while (result < 0 && errno == EINTR);
    return result;
}

}  // namespace

void SocketTraits::close(int fd) noexcept {
    ::close(fd);
}

int PosixSocket::waitFor(short events, uint32_t timeoutMs) const {
    const int result = pollFor(fd_.get(), events, timeoutMs);
    return result > 0 ? 1 : result;
}

bool PosixSocket::waitUntilReady(short events, uint32_t timeoutMs, uint32_t& error) const {
    const int ready = waitFor(events, timeoutMs);
    if (ready <= 0) {
        error = ready == 0 ? kErrorInternetTimeout : codeForErrno(errno);
    }
    return ready > 0;
}

bool PosixSocket::connect(const std::string& host, uint16_t port, uint32_t timeoutMs,
                          uint32_t& error) {
    close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    // A dotted IPv4 address needs no resolver (the bridge's loopback URL is one).
    sockaddr_in numeric{};
    addrinfo direct{};
    if (::inet_pton(AF_INET, host.c_str(), &numeric.sin_addr) == 1) {
        numeric.sin_family = AF_INET;
        numeric.sin_port = htons(port);
        direct.ai_family = AF_INET;
        direct.ai_socktype = SOCK_STREAM;
        direct.ai_addr = reinterpret_cast<sockaddr*>(&numeric);
        direct.ai_addrlen = sizeof numeric;
        return connectTo(&direct, timeoutMs, error);
    }
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (host.empty() || ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) {
        error = kErrorInternetNameNotResolved;
        return false;
    }
    const AddressList addresses(found);
    return connectTo(found, timeoutMs, error);
}

bool PosixSocket::connectTo(const addrinfo* addresses, uint32_t timeoutMs, uint32_t& error) {
    error = kErrorInternetCannotConnect;
    for (const addrinfo* address = addresses; address != nullptr; address = address->ai_next) {
        fd_.reset(::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                           address->ai_protocol));
        if (!fd_) {
            continue;
        }
        int result = ::connect(fd_.get(), address->ai_addr, address->ai_addrlen);
        if (result != 0 && errno == EINPROGRESS) {
            const int ready = waitFor(POLLOUT, timeoutMs);
            if (ready == 0) {
                error = kErrorInternetTimeout;
                close();
                continue;
            }
            int socketError = 0;
            socklen_t length = sizeof socketError;
            ::getsockopt(fd_.get(), SOL_SOCKET, SO_ERROR, &socketError, &length);
            result = socketError == 0 ? 0 : -1;
            errno = socketError;
        }
        if (result == 0) {
            const int on = 1;
            ::setsockopt(fd_.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return true;
        }
        error = errno == ECONNREFUSED ? kErrorInternetCannotConnect : codeForErrno(errno);
        close();
    }
    return false;
}

bool PosixSocket::sendAll(const char* data, size_t size, uint32_t timeoutMs, uint32_t& error) {
    while (size > 0) {
        const ssize_t sent = ::send(fd_.get(), data, size, MSG_NOSIGNAL);
        if (sent > 0) {
            data += sent;
            size -= static_cast<size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitUntilReady(POLLOUT, timeoutMs, error)) {
                continue;
            }
            return false;
        }
        error = codeForErrno(errno);
        return false;
    }
    return true;
}

bool PosixSocket::receive(char* buffer, size_t size, uint32_t timeoutMs, size_t& received,
                          uint32_t& error) {
    for (;;) {
        const ssize_t count = ::recv(fd_.get(), buffer, size, 0);
        if (count >= 0) {
            received = static_cast<size_t>(count);
            return true;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (waitUntilReady(POLLIN, timeoutMs, error)) {
                continue;
            }
            return false;
        }
        error = codeForErrno(errno);
        return false;
    }
}
