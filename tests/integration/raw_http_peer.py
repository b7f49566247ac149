#!/usr/bin/env python3
"""A raw HTTP server that answers crafted bytes, chosen by the request path.

Listens on 127.0.0.1 on a free port, prints "PORT=<n>" on its first line, and serves (one
thread per connection) until it is terminated. It reads the whole request (headers and the
body announced by Content-length) before it answers, then closes unless the answer says
otherwise.
"""
import socket
import sys
import threading
import time

OK_BODY = (b'<?xml version="1.0"?>\r\n<methodResponse><params><param>\r\n'
           b'\t<value>fldigi</value>\r\n</param></params></methodResponse>\r\n')


def http(status, body, headers=b"", length=True):
    head = b"HTTP/1.1 " + status + b"\r\n" + headers
    if length:
        head += b"Content-length: " + str(len(body)).encode() + b"\r\n"
    return head + b"\r\n" + body


def chunked(body, size=7):
    out = b""
    for i in range(0, len(body), size):
        piece = body[i:i + size]
        out += b"%x;x=y\r\n" % len(piece) + piece + b"\r\n"
    return out + b"0\r\n\r\n"


ANSWERS = {
    "/ok": http(b"200 OK", OK_BODY),
    "/html": http(b"200 OK", b"<!DOCTYPE html>\n<html><head><title>Hi</title></head>"
                  b"<body>A web page</body></html>\n"),
    "/badrequest": http(b"200 OK", b'<?xml version="1.0"?>\n<!DOCTYPE HTML PUBLIC>\n'
                        b"<html><head><title>Bad request!</title></head></html>\n"),
    "/notfound": http(b"200 OK", b'<?xml version="1.0"?>\n<!DOCTYPE HTML PUBLIC>\n'
                      b"<h1>Object not found</h1>\n"),
    "/nodecl": http(b"200 OK", b"<methodResponse><params><param><value>x</value></param>"
                    b"</params></methodResponse>"),
    "/500": http(b"500 Internal Server Error", b"<html>oops</html>"),
    "/404": http(b"404 Not Found", b""),
    "/401": http(b"401 Unauthorized", b"", b'WWW-Authenticate: Basic realm="x"\r\n'),
    "/empty": http(b"200 OK", b""),
    "/chunked": b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + chunked(OK_BODY),
    "/noframe": b"HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\n" + OK_BODY,
    "/keepopen": http(b"200 OK", OK_BODY, b"Connection: keep-alive\r\n"),
    "/garbage": b"\x00\x01\x02 not http at all",
    "/badchunk": b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
    "/truncated": b"HTTP/1.1 200 OK\r\nContent-length: 500\r\n\r\n" + OK_BODY,
    "/fault-without-text": http(b"200 OK", b'<?xml version="1.0"?>\r\n<methodResponse><fault>'
                                b"<value><struct><member><name>faultCode</name><value><i4>4</i4>"
                                b"</value></member></struct></value></fault></methodResponse>"),
}

# Answers past the client's 64 MiB limit: a head, then the same block over and over. The
# unframed one never ends. The framed ones (chunked, or with a length far beyond what is sent)
# stop after 96 MiB: Wine's WinINet reads the rest of a framed answer when the request is
# closed, to keep the connection, and would read an endless one for ever.
BLOCK = b"x" * (1 << 20)
ENDLESS = {
    "/endless": (b"HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\n", BLOCK, None),
    "/beyond-limit-chunked": (b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                              b"%x\r\n" % len(BLOCK) + BLOCK + b"\r\n", 96),
    "/beyond-limit-lying-length": (b"HTTP/1.1 200 OK\r\nContent-length: 999999999999\r\n\r\n",
                                   BLOCK, 96),
}


def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(65536)
        if not chunk:
            return None
        data += chunk
        if data[:1] == b"\x16":
            return "TLS"  # a TLS handshake: answered in plain HTTP, as a plain server does
    head, _, body = data.partition(b"\r\n\r\n")
    length = 0
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            length = int(value.strip())
    while len(body) < length:
        chunk = conn.recv(65536)
        if not chunk:
            break
        body += chunk
    return head.split(b"\r\n")[0].split(b" ")[1].decode("latin-1")


def serve(conn):
    with conn:
        try:
            path = read_request(conn)
            if path is None:
                return
            if path == "TLS":
                conn.sendall(http(b"400 Bad Request", b"<html><title>Bad request!</title></html>"))
                return
            if path == "/silent":
                time.sleep(60)  # never answers; the client's time-out ends the wait
                return
            if path == "/reset":
                conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\x01\x00\x00\x00\x00\x00\x00\x00")
                return
            if path == "/split":
                answer = http(b"200 OK", OK_BODY)
                for i in range(len(answer)):
                    conn.sendall(answer[i:i + 1])
                    time.sleep(0.001)
                return
            if path in ENDLESS:
                head, block, blocks = ENDLESS[path]
                conn.sendall(head)
                sent = 0
                while blocks is None or sent < blocks:
                    conn.sendall(block)  # ends with an OSError once the client goes
                    sent += 1
                return
            conn.sendall(ANSWERS.get(path, http(b"404 Not Found", b"no such path")))
            if path == "/keepopen":
                time.sleep(60)  # keeps the connection open; the length ends the body
        except OSError:
            pass


def main():
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(64)
    print("PORT=%d" % listener.getsockname()[1], flush=True)
    try:
        while True:
            conn, _ = listener.accept()
            threading.Thread(target=serve, args=(conn,), daemon=True).start()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
