#include "fldigi_like_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace {

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
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 64) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

FldigiLikeServer::~FldigiLikeServer() {
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
}

void FldigiLikeServer::serve() {
    while (!stopping_) {
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            continue;
        }
        answer(connection);
        ::close(connection);
    }
}

void FldigiLikeServer::answer(int connection) const {
    std::string request;
    char buffer[4096];
    size_t bodyStart = std::string::npos;
    size_t contentLength = 0;
    while (bodyStart == std::string::npos || request.size() < bodyStart + contentLength) {
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
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
    ::send(connection, response.data(), response.size(), MSG_NOSIGNAL);
}
