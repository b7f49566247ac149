#include "fldigi_like_server.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstring>
#include <stdexcept>

namespace {

#ifdef _WIN32
using socklen_t = int;
constexpr int kNoSignal = 0;
constexpr int kShutBoth = SD_BOTH;
FldigiLikeServer::Socket openSocket() {
    return ::socket(AF_INET, SOCK_STREAM, 0);
}
FldigiLikeServer::Socket acceptOn(FldigiLikeServer::Socket listener) {
    return ::accept(listener, nullptr, nullptr);
}
void closeSocket(FldigiLikeServer::Socket s) {
    ::closesocket(s);
}
void startSockets() {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        throw std::runtime_error("no Winsock");
    }
}
void stopSockets() {
    ::WSACleanup();
}
#else
constexpr int kNoSignal = MSG_NOSIGNAL;
constexpr int kShutBoth = SHUT_RDWR;
FldigiLikeServer::Socket openSocket() {
    return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
}
FldigiLikeServer::Socket acceptOn(FldigiLikeServer::Socket listener) {
    return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}
void closeSocket(FldigiLikeServer::Socket s) {
    ::close(s);
}
void startSockets() {}
void stopSockets() {}
#endif

constexpr FldigiLikeServer::Socket kNoSocket = ~FldigiLikeServer::Socket{0};

std::string methodNameOf(const std::string& request) {
    const size_t start = request.find("<methodName>");
    const size_t end = request.find("</methodName>");
    if (start == std::string::npos || end == std::string::npos) {
        return std::string();
    }
    return request.substr(start + 12, end - start - 12);
}

std::string valueFor(const std::string& method) {
    if (method == "log.get_frequency") {
        return "14071.500";
    }
    if (method == "log.get_rst_in" || method == "log.get_rst_out") {
        return "599";
    }
    if (method == "modem.get_name") {
        return "BPSK31";
    }
    if (method == "log.get_call") {
        return "DL1ABC";
    }
    return "";
}

}  // namespace

FldigiLikeServer::FldigiLikeServer() {
    startSockets();
    listener_ = openSocket();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ == kNoSocket ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 64) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

FldigiLikeServer::~FldigiLikeServer() {
    stopping_ = true;
    // A blocked accept returns on shutdown (POSIX), or once its socket is closed (Winsock).
    ::shutdown(listener_, kShutBoth);
#ifdef _WIN32
    closeSocket(listener_);
    thread_.join();
#else
    thread_.join();
    closeSocket(listener_);
#endif
    stopSockets();
}

void FldigiLikeServer::serve() {
    while (!stopping_) {
        const Socket connection = acceptOn(listener_);
        if (connection == kNoSocket) {
            continue;
        }
        answer(connection);
        closeSocket(connection);
    }
}

void FldigiLikeServer::answer(Socket connection) const {
    std::string request;
    char buffer[4096];
    size_t bodyStart = std::string::npos;
    size_t contentLength = 0;
    while (bodyStart == std::string::npos || request.size() < bodyStart + contentLength) {
        const auto n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return;
        }
        request.append(buffer, static_cast<size_t>(n));
        if (bodyStart == std::string::npos) {
            const size_t end = request.find("\r\n\r\n");
            if (end == std::string::npos) {
                continue;
            }
            bodyStart = end + 4;
            const size_t header = request.find("Content-length: ");
            if (header == std::string::npos || header > end) {
                return;  // fldigi does not answer a request without a length
            }
            contentLength = std::strtoul(request.c_str() + header + 16, nullptr, 10);
        }
    }
    const std::string body =
        "<?xml version=\"1.0\"?>\r\n<methodResponse><params><param>\r\n\t<value>" +
        valueFor(methodNameOf(request)) + "</value>\r\n</param></params></methodResponse>\r\n";
    const std::string response =
        "HTTP/1.1 200 OK\r\nServer: fldigi-like\r\nContent-Type: "
        "text/xml\r\nContent-length: " +
        std::to_string(body.size()) + "\r\n\r\n" + body;
    ::send(connection, response.data(), static_cast<int>(response.size()), kNoSignal);
}
