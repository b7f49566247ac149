#!/usr/bin/env python3
"""A stand-in for fldigi 4.1.23's XML-RPC server, for tests and demonstrations.

It answers on 127.0.0.1 (port 7362 unless --port says otherwise) the way fldigi does, byte for
byte where it matters to a client: HTTP/1.1 200 for answers and faults alike, a lower-case
"Content-length", the connection closed after an HTTP/1.0 request, strings as bare <value>
elements holding the raw bytes, the contact log fields, the frequency as kHz text, the modem's
short name, and the contact marker file <config_dir>temp/log.adif that "Log QSO" (macro 17)
appends to. It also offers setters fldigi lacks (state, province, notes) so a test can fill
every field the bridge reads.

With --demo or --script FILE an "operator" types contacts into the log fields and logs them
over time. Python 3 standard library only.
"""

import argparse
import datetime
import json
import os
import socket
import socketserver
import sys
import threading
import time

from operator_script import DEMO_SCRIPT, LOG_QSO_MACRO, load_script, run_script  # noqa: F401
from xmlrpc_wire import Fault, fault_body, parse_call, response_body, text_to_bytes

DEFAULT_PORT = 7362
AUDIO_CARRIER_HZ = 1500.0

MODEM_NAMES = (
    "NULL CW CONTESTIA Cont-4/125 Cont-4/250 Cont-4/500 Cont-4/1K Cont-4/2K Cont-8/125 "
    "Cont-8/250 Cont-8/500 Cont-8/1K Cont-8/2K Cont-16/250 Cont-16/500 Cont-16/1K Cont-16/2K "
    "Cont-32/1K Cont-32/2K Cont-64/500 Cont-64/1K Cont-64/2K DOMEX_Micro DOMEX4 DOMEX5 DOMEX8 "
    "DOMX11 DOMX16 DOMX22 DOMX44 DOMX88 FELDHELL SLOWHELL HELLX5 HELLX9 FSKH245 FSKH105 HELL80 "
    "MFSK8 MFSK16 MFSK32 MFSK4 MFSK11 MFSK22 MFSK31 MFSK64 MFSK128 MFSK64L MFSK128L WEFAX576 "
    "WEFAX288 NAVTEX SITORB MT63-500S MT63-500L MT63-1KS MT63-1KL MT63-2KS MT63-2KL BPSK31 "
    "BPSK63 BPSK63F BPSK125 BPSK250 BPSK500 BPSK1000 PSK125C12 PSK250C6 PSK500C2 PSK500C4 "
    "PSK800C2 PSK1000C2 QPSK31 QPSK63 QPSK125 QPSK250 QPSK500 8PSK125 8PSK125FL 8PSK125F "
    "8PSK250 8PSK250FL 8PSK250F 8PSK500 8PSK500F 8PSK1000 8PSK1000F 8PSK1200F OFDM500F "
    "OFDM750F OFDM2000F OFDM2000 OFDM3500 OLIVIA OLIVIA-4/125 OLIVIA-4/250 OLIVIA-4/500 "
    "OLIVIA-4/1K OLIVIA-4/2K OLIVIA-8/125 OLIVIA-8/250 OLIVIA-8/500 OLIVIA-8/1K OLIVIA-8/2K "
    "OLIVIA-16/500 OLIVIA-16/1K OLIVIA-16/2K OLIVIA-32/1K OLIVIA-32/2K OLIVIA-64/500 "
    "OLIVIA-64/1K OLIVIA-64/2K RTTY THOR_Micro THOR4 THOR5 THOR8 THOR11 THOR16 THOR22 THOR25x4 "
    "THOR50x1 THOR50x2 THOR100 THROB1 THROB2 THROB4 THRBX1 THRBX2 THRBX4 PSK125R PSK250R "
    "PSK500R PSK1000R PSK63RC4 PSK63RC5 PSK63RC10 PSK63RC20 PSK63RC32 PSK125RC4 PSK125RC5 "
    "PSK125RC10 PSK125RC12 PSK125RC16 PSK250RC2 PSK250RC3 PSK250RC5 PSK250RC6 PSK250RC7 "
    "PSK500RC2 PSK500RC3 PSK500RC4 PSK800RC2 PSK1000RC2 FSQ IFKP SSB WWV ANALYSIS FMT RSID_EOT"
).split()
# "_" stands for the blank in "DOMEX Micro" and "THOR Micro" (RSID_EOT keeps its own).
MODEM_NAMES = [n if n == "RSID_EOT" else n.replace("_", " ") for n in MODEM_NAMES]

# The ADIF mode of a contact, by the first matching part of the modem's short name.
ADIF_MODES = [("CONT", "CONTESTI"), ("CTSTIA", "CONTESTI"), ("DOM", "DOMINO"),
              ("HELL", "HELL"), ("FSKH", "HELL"), ("MFSK", "MFSK"), ("MT63", "MT63"),
              ("OLIVIA", "OLIVIA"), ("THOR", "THOR"), ("THR", "THRB"), ("RTTY", "RTTY"),
              ("OFDM", "OFDM"), ("FSQ", "FSQ"), ("IFKP", "IFKP"), ("CW", "CW"), ("PSK", "PSK")]

LOG_FIELDS = ("call", "name", "qth", "locator", "state", "province", "notes")


def ascii_upper(text):
    return "".join(c.upper() if "a" <= c <= "z" else c for c in text)


def getter(field):
    return lambda fldigi, params: fldigi.fields[field]


def setter(field):
    def set_field(fldigi, params):
        fldigi.fields[field] = fldigi.param(params, str)
        return ""
    return set_field


class Fldigi:
    """fldigi's state as far as its XML-RPC interface shows it."""

    def __init__(self, config_dir, journal_path=None):
        self.config_dir = os.path.join(os.path.abspath(config_dir), "")
        self.lock = threading.Lock()
        self.rig_hz = 14070000.0
        self.modem = "BPSK31"
        self.fields = {}
        self.clear_fields()
        self.qso_start = None
        self.clears = 0
        self.cleared = threading.Condition(self.lock)
        self.terminated = threading.Event()
        self.journal = open(journal_path, "a", encoding="utf-8") if journal_path else None
        self.seq = 0

    def clear_fields(self):
        self.fields = {name: "" for name in LOG_FIELDS}
        self.fields["rst_in"] = "599"
        self.fields["rst_out"] = "599"
        self.qso_start = None

    def marker_path(self):
        return os.path.join(self.config_dir, "temp", "log.adif")

    # -- dispatch -------------------------------------------------------------------------

    def call(self, method, params):
        with self.lock:
            self.seq += 1
            if self.journal:
                self.journal.write(json.dumps({"seq": self.seq, "method": method,
                                               "params": list(params or ())}) + "\n")
                self.journal.flush()
            handler = self.METHODS.get(method)
            if handler is None:
                raise Fault("%s: unknown method name" % method)
            return handler(self, params)

    @staticmethod
    def param(params, kind):
        if params is None or len(params) == 0:
            raise Fault("type error: expected an array")
        value = params[0]
        if kind is int and isinstance(value, bool):
            raise Fault("type error")
        if not isinstance(value, kind):
            raise Fault("type error")
        return value

    def set_call(self, params):
        call = ascii_upper(self.param(params, str))
        if call != self.fields["call"]:
            self.clear_fields()
            self.qso_start = datetime.datetime.now(datetime.timezone.utc) if call else None
        self.fields["call"] = call
        return ""

    def get_frequency(self, params):
        return "%.3f" % ((self.rig_hz + AUDIO_CARRIER_HZ) / 1000.0)

    def set_frequency(self, params):
        previous, self.rig_hz = self.rig_hz, self.param(params, float)
        return previous

    def set_modem(self, params):
        name = self.param(params, str)
        if name not in MODEM_NAMES:
            return "No such modem"
        previous, self.modem = self.modem, name
        return previous

    def run_macro(self, params):
        if self.param(params, int) == LOG_QSO_MACRO and self.fields["call"]:
            self.log_qso()
        return ""

    def log_clear(self, params):
        self.clear_fields()
        self.clears += 1
        self.cleared.notify_all()
        return ""

    def terminate(self, params):
        self.terminated.set()
        return ""

    METHODS = {
        "fldigi.name": lambda self, params: "fldigi",
        "fldigi.version": lambda self, params: "4.1.23",
        "fldigi.config_dir": lambda self, params: self.config_dir,
        "fldigi.terminate": terminate,
        "log.get_call": getter("call"),
        "log.get_name": getter("name"),
        "log.get_qth": getter("qth"),
        "log.get_locator": getter("locator"),
        "log.get_state": getter("state"),
        "log.get_province": getter("province"),
        "log.get_notes": getter("notes"),
        "log.get_rst_in": getter("rst_in"),
        "log.get_rst_out": getter("rst_out"),
        "log.get_frequency": get_frequency,
        "log.set_call": set_call,
        "log.set_name": setter("name"),
        "log.set_qth": setter("qth"),
        "log.set_locator": setter("locator"),
        "log.set_state": setter("state"),
        "log.set_province": setter("province"),
        "log.set_notes": setter("notes"),
        "log.set_rst_in": setter("rst_in"),
        "log.set_rst_out": setter("rst_out"),
        "log.clear": log_clear,
        "main.get_frequency": lambda self, params: self.rig_hz,
        "main.set_frequency": set_frequency,
        "rig.set_frequency": set_frequency,
        "main.run_macro": run_macro,
        "modem.get_name": lambda self, params: self.modem,
        "modem.get_names": lambda self, params: list(MODEM_NAMES),
        "modem.set_by_name": set_modem,
    }

    # -- logging a contact -----------------------------------------------------------------

    def adif_mode(self):
        for part, mode in ADIF_MODES:
            if part in self.modem.upper():
                return mode
        return self.modem

    def log_qso(self):
        now = datetime.datetime.now(datetime.timezone.utc)
        start = self.qso_start or now
        f = self.fields
        items = [("QSO_DATE", start.strftime("%Y%m%d")), ("TIME_ON", start.strftime("%H%M%S")),
                 ("QSO_DATE_OFF", now.strftime("%Y%m%d")), ("TIME_OFF", now.strftime("%H%M%S")),
                 ("CALL", f["call"]),
                 ("FREQ", "%.6f" % ((self.rig_hz + AUDIO_CARRIER_HZ) / 1e6)),
                 ("MODE", self.adif_mode()), ("RST_SENT", f["rst_out"]),
                 ("RST_RCVD", f["rst_in"]), ("NAME", f["name"]), ("QTH", f["qth"]),
                 ("STATE", f["state"]), ("VE_PROV", f["province"]),
                 ("GRIDSQUARE", f["locator"]), ("NOTES", f["notes"])]
        record = b"".join(b"<%s:%d>%s" % (name.encode(), len(text_to_bytes(value)),
                                          text_to_bytes(value)) for name, value in items)
        os.makedirs(os.path.dirname(self.marker_path()), exist_ok=True)
        with open(self.marker_path(), "ab") as marker:
            marker.write(record + b"<EOR>\n")


class RequestHandler(socketserver.BaseRequestHandler):
    """HTTP as fldigi speaks it: one call per request; keeps an HTTP/1.1 connection open."""

    MAX_HEADER = 64 * 1024
    MAX_BODY = 16 * 1024 * 1024

    def handle(self):
        self.request.settimeout(self.server.idle_timeout)
        self.buffer = b""
        try:
            while self.serve_one():
                pass
        except (OSError, ValueError):
            pass

    def receive_more(self):
        data = self.request.recv(65536)
        if not data:
            raise ValueError("connection closed")
        self.buffer += data

    def serve_one(self):
        while b"\r\n\r\n" not in self.buffer:
            if len(self.buffer) > self.MAX_HEADER:
                return False
            self.receive_more()
        head, self.buffer = self.buffer.split(b"\r\n\r\n", 1)
        lines = head.decode("latin-1").split("\r\n")
        version = lines[0].rsplit(" ", 1)[-1].upper()
        headers = {}
        for line in lines[1:]:
            name, _, value = line.partition(":")
            headers[name.strip().lower()] = value.strip()
        if "content-length" not in headers:
            return False  # fldigi never answers such a request
        length = int(headers["content-length"])
        if length < 0 or length > self.MAX_BODY:
            return False
        while len(self.buffer) < length:
            self.receive_more()
        body, self.buffer = self.buffer[:length], self.buffer[length:]

        method, params = parse_call(body)
        try:
            payload = response_body(self.server.fldigi.call(method, params))
        except Fault as fault:
            payload = fault_body(str(fault))
        self.request.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n"
                             b"Content-length: %d\r\n\r\n" % len(payload) + payload)
        if self.server.fldigi.terminated.is_set():
            threading.Thread(target=self.server.shutdown, daemon=True).start()
            return False
        return version != "HTTP/1.0" and headers.get("connection", "").lower() != "close"


class Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, fldigi, idle_timeout=30.0):
        self.fldigi = fldigi
        self.idle_timeout = idle_timeout
        super().__init__(("127.0.0.1", port), RequestHandler)


def main(argv=None):
    parser = argparse.ArgumentParser(description="fldigi XML-RPC stand-in")
    parser.add_argument("--port", type=int, default=DEFAULT_PORT,
                        help="TCP port on 127.0.0.1 (0: any free port), default %(default)s")
    parser.add_argument("--config-dir", default=None,
                        help="fldigi's configuration directory (default: a fresh temporary one)")
    parser.add_argument("--ready-file", help="written with the port number once listening")
    parser.add_argument("--journal", help="append one JSON line per received call")
    operator = parser.add_mutually_exclusive_group()
    operator.add_argument("--script", help="JSON list of operator steps to run")
    operator.add_argument("--demo", action="store_true", help="run the built-in operator")
    parser.add_argument("--exit-after-script", action="store_true",
                        help="stop serving once the operator's script is done")
    args = parser.parse_args(argv)

    config_dir = args.config_dir
    if config_dir is None:
        import tempfile
        config_dir = tempfile.mkdtemp(prefix="fldigi-sim.")
    os.makedirs(config_dir, exist_ok=True)
    steps = DEMO_SCRIPT if args.demo else load_script(args.script) if args.script else None

    fldigi = Fldigi(config_dir, args.journal)
    try:
        server = Server(args.port, fldigi)
    except OSError as error:
        print("fldigi-sim: cannot listen on 127.0.0.1:%d: %s" % (args.port, error),
              file=sys.stderr)
        return 1
    port = server.server_address[1]
    if args.ready_file:
        temporary = args.ready_file + ".tmp"
        with open(temporary, "w") as ready:
            ready.write("%d\n" % port)
        os.replace(temporary, args.ready_file)
    print("fldigi-sim: listening on 127.0.0.1:%d, config dir %s" % (port, fldigi.config_dir),
          flush=True)

    script_done = threading.Event()
    if steps is not None:
        threading.Thread(target=run_script, args=(fldigi, steps, script_done),
                         daemon=True).start()
        if args.exit_after_script:
            def stop_when_done():
                script_done.wait()
                server.shutdown()
            threading.Thread(target=stop_when_done, daemon=True).start()
    try:
        server.serve_forever(poll_interval=0.1)
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
