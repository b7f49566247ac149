#!/usr/bin/env python3
"""Runs xrcall against real servers on 127.0.0.1 and checks exit status, stdout and stderr.

    xrcall_cases.py --flavour native|wine -- XRCALL_COMMAND...

Starts Python's SimpleXMLRPCServer (xmlrpc_peer.py) and a raw socket server answering crafted
bytes (raw_http_peer.py) on free ports, runs the table of cases with the given xrcall command
(the native binary, or the wine runner followed by xrcall.exe), and stops both servers by PID.
The two builds give the same answers except where their HTTP facilities differ; those cases
carry one expectation per flavour.
"""
import argparse
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
AUTH = "HTTP Basic authentication failed. You need to provide a username and password."
FAULT_XML = ("<value><struct><member><name>faultCode</name><value><i4>4</i4></value></member>"
             "<member><name>faultString</name><value>boom</value></member></struct></value>\n\n")
LIST_XML = ("<value><array><data><value><i4>1</i4></value><value>two</value><value><double>3.5"
            "</double></value><value><array><data><value><boolean>1</boolean></value></data>"
            "</array></value></data></array></value>\n")
FAULT_WITHOUT_TEXT_XML = ("<value><struct><member><name>faultCode</name><value><i4>4</i4></value>"
                          "</member></struct></value>\n\n")
TOO_LARGE = "xrcall: Response too large\n"
# Peak resident memory allowed to a call whose answer never ends: the 64 MiB body limit, the
# buffer's last doubling, the program itself and, natively, the sanitizers' bookkeeping.
ENDLESS_PEAK_MB = 320


class Peer:
    """A server script started on a free port; stopped by its PID."""

    def __init__(self, script):
        self.process = subprocess.Popen([sys.executable, os.path.join(HERE, script)],
                                        stdout=subprocess.PIPE, stdin=subprocess.DEVNULL)
        line = self.process.stdout.readline().decode()
        if not line.startswith("PORT="):
            self.stop()
            raise RuntimeError("%s did not start" % script)
        self.port = int(line[5:])

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def cases(rpc, raw, closed_port):
    """(name, args, exit, stdout, stderr, max seconds); a dict gives one value per flavour,
    a tuple of stderr texts accepts any of them (Wine sees a reset at either of two steps).

    The servers of the two time-limited cases hold the connection for 60 s, so the limits tell
    a bounded wait from a wait for the server (Wine alone may take seconds to start).
    """
    r = "http://127.0.0.1:%d/RPC2" % rpc
    w = "http://127.0.0.1:%d" % raw
    return [
        ("string", [r, "name"], 0, "fldigi\n", "", None),
        ("string xml", ["--xml", r, "name"], 0, "<value>fldigi</value>\n", "", None),
        ("str param", [r, "echo", "str:hello"], 0, "hello\n", "", None),
        ("plain param", [r, "echo", "plain text"], 0, "plain text\n", "", None),
        ("i4", [r, "echo", "i4:42"], 0, "42\n", "", None),
        ("int", [r, "echo", "int:-7"], 0, "-7\n", "", None),
        ("double", [r, "echo", "double:2.5"], 0, "2.5\n", "", None),
        ("two params", [r, "add", "i4:2", "i4:3"], 0, "5\n", "", None),
        ("double result", [r, "half", "i4:3"], 0, "1.5\n", "", None),
        ("bool", [r, "echo", "bool:1"], 0, "true\n", "", None),
        ("nil", [r, "echo", "nil"], 0, "nil\n", "", None),
        ("base64", [r, "echo", "b64:aGVsbG8="], 0, "b64:aGVsbG8=\n", "", None),
        ("dateTime", [r, "echo", "dt:20240309T07:05:01"], 0, "dt:20240309T07:05:01\n", "", None),
        ("struct", [r, "record"], 0, '{call: "DL1ABC", ok: true, rst: 599}\n', "", None),
        ("array", [r, "list"], 0, '[1, "two", 3.5, [true]]\n', "", None),
        ("array xml", ["--xml", r, "list"], 0, LIST_XML, "", None),
        ("markup and utf-8", [r, "text"], 0, 'a < b & "c" M\u00fcller\n', "", None),
        ("one megabyte", [r, "big", "i4:1048576"], 0, "x" * 1048576 + "\n", "", None),
        ("fault", [r, "fault"], 1, "", "xrcall: boom\n", None),
        ("fault xml", ["--xml", r, "fault"], 1, FAULT_XML, "xrcall: boom\n", None),
        ("empty fault text", [r, "empty_fault"], 0, '{faultCode: 5, faultString: ""}\n', "", None),
        ("unknown method", [r, "nosuch"], 1, "",
         "xrcall: <class 'Exception'>:method \"nosuch\" is not supported\n", None),
        ("html page", [w + "/html", "m"], 1, "",
         "xrcall: It looks like you've configured the wrong URL. That URL is sending us HTML "
         "text, whereas we need RPC data.\n", None),
        ("bad request page", [w + "/badrequest", "m"], 1, "",
         "xrcall: Talking HTTP to a HTTPS server?\n", None),
        ("object not found", [w + "/notfound", "m"], 1, "",
         "xrcall: Wrong URL (\"Object not found\")\n", None),
        ("no declaration", [w + "/nodecl", "m"], 1, "",
         "xrcall: <params><param><value>x</value></param></params></methodResponse>\n", None),
        ("500", [w + "/500", "m"], 1, "",
         "xrcall: Low level (HTTP) error: 500 Internal Server Error\n", None),
        ("404", [w + "/404", "m"], 1, "", "xrcall: Low level (HTTP) error: 404 Not Found\n", None),
        ("401", [w + "/401", "m"], 1, "", "xrcall: " + AUTH + "\n", None),
        ("empty body", [w + "/empty", "m"], 1, "",
         "xrcall: Invalid XMLRPC response: content size is 0\n", None),
        ("many small writes", [w + "/split", "m"], 0, "fldigi\n", "", None),
        ("chunked", [w + "/chunked", "m"], 0, "fldigi\n", "", None),
        ("no length, closes", [w + "/noframe", "m"], 0, "fldigi\n", "", None),
        ("length, stays open", [w + "/keepopen", "m"], 0, "fldigi\n", "", 30),
        ("never answers", ["--timeout-ms", "700", w + "/silent", "m"], 1, "",
         {"native": "xrcall: HttpSendRequest : Internet timeout\n",
          "wine": "xrcall: HttpSendRequest : Connection aborted\n"}, 30),
        # Broken answers: each facility reports them its own way, always as a failure,
        # except that WinINet takes a body cut short by the close as complete.
        ("not http at all", [w + "/garbage", "m"], 1, "",
         {"native": "xrcall: Invalid XMLRPC response\n",
          "wine": "xrcall: Could not query HTTP result status\n"}, None),
        ("bad chunk size", [w + "/badchunk", "m"], 1, "",
         {"native": "xrcall: HttpSendRequest : The server returned an invalid or unrecognized "
                    "response\n",
          "wine": "xrcall: Invalid XMLRPC response: content size is 0\n"}, None),
        ("body cut short", [w + "/truncated", "m"], {"native": 1, "wine": 0},
         {"native": "", "wine": "fldigi\n"},
         {"native": "xrcall: InternetQueryDataAvailable : Connection aborted\n", "wine": ""},
         None),
        ("reset", [w + "/reset", "m"], 1, "",
         {"native": "xrcall: HttpSendRequest : Connection reset\n",
          "wine": ("xrcall: Could not query HTTP result status\n",
                   "xrcall: HttpSendRequest : Connection aborted\n")}, None),
        ("https to http", ["https://127.0.0.1:%d/ok" % raw, "m"], 1, "",
         {"native": "xrcall: HttpOpenRequest : HTTPS is not supported by this build; use an "
                    "http:// URL\n",
          "wine": "xrcall: HttpSendRequest : Talking HTTPS to an HTTP server?\n"}, 20),
        ("empty host", ["http:///RPC2", "m"], 1, "", "xrcall: No connection\n", None),
        ("unknown host", ["http://no.such.host.invalid/RPC2", "m"], 1, "",
         "xrcall: HttpSendRequest : Domain name not resolved\n", 30),
        ("nothing listening", ["http://127.0.0.1:%d/RPC2" % closed_port, "m"], 1, "",
         "xrcall: HttpSendRequest : Failed to connect\n", None),
        ("ftp", ["ftp://127.0.0.1/x", "m"], 1, "", "xrcall: No connection\n", None),
        ("fault without text xml", ["--xml", w + "/fault-without-text", "m"], 1,
         FAULT_WITHOUT_TEXT_XML, "xrcall: unspecified error\n", None),
        ("endless body", [w + "/endless", "m"], 1, "", TOO_LARGE, 60),
        ("beyond limit, chunks", [w + "/beyond-limit-chunked", "m"], 1, "", TOO_LARGE, 60),
        ("beyond limit, lying length", [w + "/beyond-limit-lying-length", "m"], 1, "", TOO_LARGE,
         60),
        ("usage: nothing", [], 2, "", None, None),
        ("usage: bad i4", [r, "echo", "i4:abc"], 2, "", None, None),
        ("usage: i4 too big", [r, "echo", "i4:2147483648"], 2, "", None, None),
        ("usage: bad bool", [r, "echo", "bool:2"], 2, "", None, None),
        ("usage: bad dt", [r, "echo", "dt:2024-03-09"], 2, "", None, None),
        ("usage: bad b64", [r, "echo", "b64:@@@@"], 2, "", None, None),
        ("usage: bad double", [r, "echo", "double:1.5x"], 2, "", None, None),
        ("usage: unknown option", ["--frobnicate", r, "name"], 2, "", None, None),
    ]


def run_measured(command):
    """Runs command; returns (exit status, stdout, stderr, peak resident memory in MB) with the
    peak taken from the kernel's count for that process and its descendants, or None when it
    gave no answer within 120 s."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                   start_new_session=True)
        deadline = time.monotonic() + 120
        while True:
            pid, status, usage = os.wait4(process.pid, os.WNOHANG)
            if pid != 0:
                break
            if time.monotonic() > deadline:
                os.killpg(process.pid, signal.SIGKILL)
                os.wait4(process.pid, 0)
                return None
            time.sleep(0.01)
        process.returncode = os.waitstatus_to_exitcode(status)
        out.seek(0)
        err.seek(0)
        return process.returncode, out.read(), err.read(), usage.ru_maxrss / 1024.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--flavour", choices=["native", "wine"], required=True)
    parser.add_argument("command", nargs="+")
    args = parser.parse_args()

    # The first Wine program may start Wine's background processes, which live on and would
    # keep a captured output pipe open: let a warm-up run start them with no pipe at all.
    subprocess.run(args.command + ["--help"], stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    rpc = Peer("xmlrpc_peer.py")
    raw = Peer("raw_http_peer.py")
    failures = 0
    try:
        for name, argv, code, out, err, limit in cases(rpc.port, raw.port, free_port()):
            start = time.monotonic()
            done = run_measured(args.command + argv)
            if done is None:
                print("FAIL  %-24s no answer within 120 s" % name)
                failures += 1
                continue
            returncode, stdout, stderr, peak_mb = done
            elapsed = time.monotonic() - start
            # Not xrcall's output: the shell of the Wine runner may warn about a locale it
            # cannot set, and Wine's client library sometimes reports a closed pipe at exit.
            stderr = b"".join(line for line in stderr.splitlines(True)
                                   if b"setlocale: LC_ALL" not in line
                                   and not line.startswith(b"wine client error:"))
            code, out, err = (v[args.flavour] if isinstance(v, dict) else v
                              for v in (code, out, err))
            problems = []
            if returncode != code:
                problems.append("exit %d, expected %d" % (returncode, code))
            if stdout != out.encode("utf-8"):
                problems.append("stdout %r, expected %r" % (stdout[:300], out[:300]))
            if isinstance(err, str):
                err = (err,)  # a tuple lists every acceptable text
            if err is not None and stderr not in [e.encode("utf-8") for e in err]:
                problems.append("stderr %r, expected %r" % (stderr[:300], err))
            if err is None and code == 2 and b"usage:" not in stderr:
                problems.append("no usage text on stderr: %r" % stderr[:300])
            if (name.startswith("endless") or name.startswith("beyond")) and \
                    peak_mb > ENDLESS_PEAK_MB:
                problems.append("peak memory %.0f MB, limit %d MB" % (peak_mb, ENDLESS_PEAK_MB))
            if limit is not None and elapsed > limit:
                problems.append("took %.1f s, limit %d s" % (elapsed, limit))
            print("%-5s %-28s %.2f s, peak %.0f MB" % ("FAIL" if problems else "ok", name, elapsed,
                                                      peak_mb))
            for problem in problems:
                print("      " + problem)
            failures += 1 if problems else 0
        helped = subprocess.run(args.command + ["--help"], capture_output=True, timeout=120)
        if helped.returncode != 0 or not helped.stdout.startswith(b"usage: xrcall"):
            print("FAIL  --help")
            failures += 1
    finally:
        rpc.stop()
        raw.stop()
    print("%d failure(s)" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
