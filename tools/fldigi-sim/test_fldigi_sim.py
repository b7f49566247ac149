#!/usr/bin/env python3
"""Checks the fldigi stand-in against what fldigi 4.1.23 sends and does (measured on the real
program): raw response bytes, keep-alive rules, the log fields and the contact marker file."""

import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import xmlrpc.client

HERE = os.path.dirname(os.path.abspath(__file__))
SIM = os.path.join(HERE, "fldigi_sim.py")


def call_body(method, params_xml=""):
    return ('<?xml version="1.0"?>\r\n<methodCall><methodName>%s</methodName>\r\n<params>%s'
            "</params></methodCall>\r\n" % (method, params_xml)).encode("utf-8")


def param(xml):
    return "<param><value>%s</value></param>" % xml


def http_response(body):
    return (b"HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-length: %d\r\n\r\n"
            % len(body) + body)


def string_response(text_bytes):
    return http_response(b'<?xml version="1.0"?>\r\n<methodResponse><params><param>\r\n\t<value>'
                         + text_bytes + b"</value>\r\n</param></params></methodResponse>\r\n")


def fault_response(text):
    return http_response(
        b'<?xml version="1.0"?>\r\n<methodResponse><fault>\r\n\t<value><struct><member><name>'
        b"faultCode</name><value><i4>-1</i4></value></member><member><name>faultString</name>"
        b"<value>" + text + b"</value></member></struct></value>\r\n</fault></methodResponse>\r\n")


class Sim:
    def __init__(self, *extra):
        self.dir = tempfile.mkdtemp(prefix="fldigi-sim-test.")
        self.config_dir = os.path.join(self.dir, "cfg")
        ready = os.path.join(self.dir, "ready")
        self.process = subprocess.Popen(
            [sys.executable, SIM, "--port", "0", "--config-dir", self.config_dir,
             "--ready-file", ready] + list(extra),
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        deadline = time.monotonic() + 10
        while not os.path.exists(ready):
            if time.monotonic() > deadline or self.process.poll() is not None:
                self.stop()
                raise RuntimeError("fldigi-sim did not start")
            time.sleep(0.02)
        with open(ready) as f:
            self.port = int(f.read())
        self.proxy = xmlrpc.client.ServerProxy("http://127.0.0.1:%d/RPC2" % self.port)

    def stop(self):
        self.proxy("close")()
        if self.process.poll() is None:
            self.process.terminate()
        self.process.wait(timeout=10)
        self.process.stderr.close()
        shutil.rmtree(self.dir, ignore_errors=True)

    def marker(self):
        return os.path.join(self.config_dir, "temp", "log.adif")

    def raw(self, body, version="1.0", headers=b""):
        """Sends one request; returns everything received until the server closes (or
        None for the rest after a 2 s silence)."""
        with socket.create_connection(("127.0.0.1", self.port), timeout=2) as s:
            s.sendall(b"POST /RPC2 HTTP/%s\r\nHost: x\r\nContent-Type: text/xml\r\n%s"
                      b"Content-length: %d\r\n\r\n" % (version.encode(), headers, len(body))
                      + body)
            received = b""
            try:
                while True:
                    data = s.recv(65536)
                    if not data:
                        return received
                    received += data
            except socket.timeout:
                return received + b"<open>"


class FldigiSimTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = Sim()

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()

    def setUp(self):
        self.sim.proxy.log.clear()
        if os.path.exists(self.sim.marker()):
            os.remove(self.sim.marker())

    def test_answers_byte_for_byte_and_closes_after_http_1_0(self):
        cases = [
            ("fldigi.name", "", string_response(b"fldigi")),
            ("log.get_call", "", string_response(b"")),
            ("log.get_rst_in", "", string_response(b"599")),
            ("log.get_frequency", "", string_response(b"14071.500")),
            ("modem.get_name", "", string_response(b"BPSK31")),
            ("no.such_method", "", fault_response(b"no.such_method: unknown method name")),
            ("log.set_name", "", fault_response(b"type error: expected an array")),
            ("log.set_call", param("<int>5</int>"), fault_response(b"type error")),
            ("main.set_frequency", param("<int>7</int>"), fault_response(b"type error")),
        ]
        for method, params, expected in cases:
            with self.subTest(method=method):
                self.assertEqual(self.sim.raw(call_body(method, params)), expected)

    def test_unreadable_call_is_an_unknown_method(self):
        self.assertEqual(self.sim.raw(b"hello"), fault_response(b": unknown method name"))

    def test_http_1_1_keeps_the_connection(self):
        self.assertTrue(self.sim.raw(call_body("fldigi.name"), "1.1").endswith(b"<open>"))
        self.assertFalse(self.sim.raw(call_body("fldigi.name"), "1.1",
                                      b"Connection: close\r\n").endswith(b"<open>"))

    def test_request_without_length_gets_no_answer(self):
        with socket.create_connection(("127.0.0.1", self.sim.port), timeout=2) as s:
            s.sendall(b"GET / HTTP/1.0\r\n\r\n")
            self.assertEqual(s.recv(100), b"")

    def test_texts_keep_their_bytes_and_markup_is_escaped(self):
        name = "M\u00fcller <&>\"' \t"
        self.sim.raw(call_body("log.set_name", param(xmlrpc.client.escape(name))))
        self.assertEqual(self.sim.raw(call_body("log.get_name")),
                         string_response(b"M\xc3\xbcller &lt;&amp;&gt;&quot;&apos; \t"))

    def test_config_dir_is_absolute_with_trailing_slash(self):
        config_dir = self.sim.proxy.fldigi.config_dir()
        self.assertTrue(os.path.isabs(config_dir))
        self.assertTrue(config_dir.endswith("/"))
        self.assertEqual(os.path.realpath(config_dir), os.path.realpath(self.sim.config_dir))

    def test_new_call_is_upper_cased_and_starts_a_fresh_contact(self):
        p = self.sim.proxy
        p.log.set_call("dl1abc")
        for setter in ("name", "qth", "locator", "state", "province", "notes", "rst_in"):
            getattr(p.log, "set_" + setter)("x" + setter)
        p.log.set_call("DL1ABC")  # same call: nothing cleared
        self.assertEqual(p.log.get_name(), "xname")
        p.log.set_call("ok1xyz")
        self.assertEqual(p.log.get_call(), "OK1XYZ")
        for getter in ("name", "qth", "locator", "state", "province", "notes"):
            self.assertEqual(getattr(p.log, "get_" + getter)(), "", getter)
        self.assertEqual(p.log.get_rst_in(), "599")

    def test_frequency_and_modem(self):
        p = self.sim.proxy
        self.assertEqual(p.main.set_frequency(7035000.0), 14070000.0)
        self.assertEqual(p.log.get_frequency(), "7036.500")
        p.main.set_frequency(14070000.0)
        self.assertEqual(p.modem.set_by_name("PSK500R"), "BPSK31")
        self.assertEqual(p.modem.set_by_name("Psk500r"), "No such modem")
        self.assertEqual(p.modem.get_name(), "PSK500R")
        self.assertIn("OLIVIA-8/250", p.modem.get_names())
        p.modem.set_by_name("BPSK31")

    def test_log_qso_appends_one_record_per_contact(self):
        p = self.sim.proxy
        p.main.run_macro(17)  # no call: nothing logged
        self.assertFalse(os.path.exists(self.sim.marker()))
        p.log.set_call("dl1abc")
        p.log.set_name("Hans")
        self.assertEqual(p.main.run_macro(17), "")
        p.main.run_macro(3)  # another macro logs nothing
        p.main.run_macro(17)
        with open(self.sim.marker(), "rb") as f:
            lines = f.read().split(b"\n")
        self.assertEqual(len(lines), 3)
        self.assertEqual(lines[2], b"")
        self.assertTrue(lines[0].endswith(b"<EOR>"))
        self.assertIn(b"<CALL:6>DL1ABC", lines[0])
        self.assertIn(b"<NAME:4>Hans", lines[0])
        self.assertIn(b"<FREQ:9>14.071500<MODE:3>PSK", lines[0])
        os.remove(self.sim.marker())
        p.main.run_macro(17)
        self.assertTrue(os.path.exists(self.sim.marker()))

    def test_log_clear_empties_the_fields_but_not_the_frequency(self):
        p = self.sim.proxy
        p.log.set_call("dl1abc")
        p.log.set_rst_out("419")
        p.log.set_notes("n")
        p.main.set_frequency(3580000.0)
        self.assertEqual(p.log.clear(), "")
        self.assertEqual([p.log.get_call(), p.log.get_notes(), p.log.get_rst_out()],
                         ["", "", "599"])
        self.assertEqual(p.log.get_frequency(), "3581.500")
        p.main.set_frequency(14070000.0)


class OperatorScriptTest(unittest.TestCase):
    def test_script_logs_a_contact_and_waits_for_the_clear(self):
        directory = tempfile.mkdtemp(prefix="fldigi-sim-script.")
        script = os.path.join(directory, "script.json")
        with open(script, "w", encoding="utf-8") as f:
            json.dump([{"call": "log.set_call", "args": ["dl1abc"]},
                       {"call": "log.set_name", "args": ["M\u00fcller"]},
                       {"call": "main.run_macro", "args": [17]},
                       {"wait_for_clear": 10},
                       {"call": "log.set_call", "args": ["ok1xyz"]}], f)
        sim = Sim("--script", script, "--journal", os.path.join(directory, "journal"))
        try:
            deadline = time.monotonic() + 5
            while not os.path.exists(sim.marker()) and time.monotonic() < deadline:
                time.sleep(0.02)
            with open(sim.marker(), "rb") as f:
                self.assertIn(b"<NAME:7>M\xc3\xbcller", f.read())
            self.assertEqual(sim.raw(call_body("log.get_name")),
                             string_response(b"M\xc3\xbcller"))
            sim.proxy.log.clear()
            deadline = time.monotonic() + 5
            while sim.proxy.log.get_call() != "OK1XYZ" and time.monotonic() < deadline:
                time.sleep(0.02)
            self.assertEqual(sim.proxy.log.get_call(), "OK1XYZ")
            with open(os.path.join(directory, "journal"), encoding="utf-8") as f:
                methods = [json.loads(line)["method"] for line in f]
            self.assertIn("log.clear", methods)
            sim.proxy.fldigi.terminate(0)
            self.assertEqual(sim.process.wait(timeout=5), 0)
        finally:
            sim.stop()
            shutil.rmtree(directory, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
