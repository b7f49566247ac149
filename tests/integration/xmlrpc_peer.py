#!/usr/bin/env python3
"""An XML-RPC server for the client's integration tests (Python's SimpleXMLRPCServer).

Listens on 127.0.0.1 on a free port, prints "PORT=<n>" on its first line, and serves until it
is terminated. Methods: echo(x...), name(), add(a, b), half(x), record(), list(), big(n), fault(),
empty_fault(), numeric_fault(), text(), when(), blob().
"""
import datetime
import sys
import xmlrpc.client
from xmlrpc.server import SimpleXMLRPCRequestHandler, SimpleXMLRPCServer


class QuietHandler(SimpleXMLRPCRequestHandler):
    rpc_paths = ("/RPC2", "/")

    def log_message(self, *args):
        pass


class FaultWithNumberText(xmlrpc.client.Fault):
    pass


def main():
    server = SimpleXMLRPCServer(("127.0.0.1", 0), requestHandler=QuietHandler,
                                allow_none=True, logRequests=False)

    def echo(*args):
        return args[0] if len(args) == 1 else list(args)

    def fault():
        raise xmlrpc.client.Fault(4, "boom")

    def empty_fault():
        raise xmlrpc.client.Fault(5, "")

    server.register_function(echo, "echo")
    server.register_function(lambda: "fldigi", "name")
    server.register_function(lambda a, b: a + b, "add")
    server.register_function(lambda x: x / 2, "half")
    server.register_function(lambda: {"call": "DL1ABC", "rst": 599, "ok": True}, "record")
    server.register_function(lambda: [1, "two", 3.5, [True]], "list")
    server.register_function(lambda n: "x" * n, "big")
    server.register_function(fault, "fault")
    server.register_function(empty_fault, "empty_fault")
    server.register_function(lambda: "a < b & \"c\" M\u00fcller", "text")
    server.register_function(
        lambda: datetime.datetime(2024, 3, 9, 7, 5, 1), "when")
    server.register_function(lambda: xmlrpc.client.Binary(b"\x00\x01hello\xff"), "blob")
    print("PORT=%d" % server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
