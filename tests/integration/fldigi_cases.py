#!/usr/bin/env python3
"""Runs xrcall against a fresh real fldigi started by tests/support/fldigi-peer.sh:

    fldigi-peer.sh run -- fldigi_cases.py -- XRCALL_COMMAND...

Reads FLDIGI_PORT and FLDIGI_CONFIG_DIR from the environment. Checks "fldigi.name", the eleven
field readers the bridge polls, "fldigi.config_dir" and "log.clear": each returns a string
(checked with --xml, so a non-string answer cannot pass) with fldigi's fresh-start value.
"""
import os
import subprocess
import sys

FIELDS = [
    ("log.get_call", ""), ("log.get_name", ""), ("log.get_qth", ""),
    ("log.get_frequency", "14071.500"), ("log.get_rst_in", "599"), ("log.get_rst_out", "599"),
    ("modem.get_name", "BPSK31"), ("log.get_locator", ""), ("log.get_state", ""),
    ("log.get_province", ""), ("log.get_notes", ""),
]


def main():
    command = sys.argv[sys.argv.index("--") + 1:]
    url = "http://127.0.0.1:%s/RPC2" % os.environ["FLDIGI_PORT"]
    expected = [("fldigi.name", "fldigi")] + FIELDS + [
        ("fldigi.config_dir", os.environ["FLDIGI_CONFIG_DIR"]), ("log.clear", "")]
    failures = 0
    # The first Wine program may start Wine's background processes, which live on and would
    # keep a captured output pipe open: let a warm-up run start them with no pipe at all.
    subprocess.run(command + ["--help"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=300)

    plain = subprocess.run(command + [url, "fldigi.name"], capture_output=True, timeout=120)
    if plain.returncode != 0 or plain.stdout != b"fldigi\n":
        print("FAIL  xrcall %s fldigi.name: exit %d, stdout %r, stderr %r"
              % (url, plain.returncode, plain.stdout, plain.stderr[-300:]))
        failures += 1
    for method, value in expected:
        done = subprocess.run(command + ["--xml", url, method], capture_output=True, timeout=120)
        # The value writer puts an empty string as <string/>.
        want = ("<value>%s</value>\n" % (value or "<string/>")).encode()
        ok = done.returncode == 0 and done.stdout == want
        print("%-5s %-20s %r" % ("ok" if ok else "FAIL", method, done.stdout))
        if not ok:
            print("      expected %r, exit %d, stderr %r" % (want, done.returncode,
                                                           done.stderr[-300:]))
            failures += 1
    print("%d failure(s)" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
