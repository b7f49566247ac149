"""The stand-in's operator: steps that type contacts into the log fields and log them over
time, the built-in demonstration and scripts read from JSON files."""

import json
import sys

from xmlrpc_wire import Fault

LOG_QSO_MACRO = 17  # fldigi's default macro 17, "Log QSO"

DEMO_SCRIPT = [
    {"call": "modem.set_by_name", "args": ["BPSK31"]},
    {"call": "main.set_frequency", "args": [14070000.0]},
    {"wait": 2.0},
    {"call": "log.set_call", "args": ["dl1abc"]},
    {"wait": 1.0},
    {"call": "log.set_name", "args": ["Hans"]},
    {"call": "log.set_qth", "args": ["Berlin"]},
    {"call": "log.set_locator", "args": ["JO62QM"]},
    {"call": "log.set_rst_in", "args": ["579"]},
    {"wait": 2.0},
    {"call": "main.run_macro", "args": [LOG_QSO_MACRO]},
    {"wait_for_clear": 10.0},
    {"wait": 1.0},
    {"call": "modem.set_by_name", "args": ["PSK500R"]},
    {"call": "main.set_frequency", "args": [7035000.0]},
    {"call": "log.set_call", "args": ["OK1XYZ"]},
    {"call": "log.set_name", "args": ["Petr"]},
    {"call": "log.set_qth", "args": ["Praha"]},
    {"call": "log.set_state", "args": ["PR"]},
    {"call": "log.set_notes", "args": ["<tnx> fer QSO & 73"]},
    {"call": "log.set_rst_out", "args": ["589"]},
    {"wait": 2.0},
    {"call": "main.run_macro", "args": [LOG_QSO_MACRO]},
    {"wait_for_clear": 10.0},
    {"wait": 1.0},
    {"call": "modem.set_by_name", "args": ["OLIVIA-8/250"]},
    {"call": "log.set_call", "args": ["VE3ABC"]},
    {"call": "log.set_province", "args": ["ON"]},
    {"wait": 2.0},
    {"call": "main.run_macro", "args": [LOG_QSO_MACRO]},
    {"wait_for_clear": 10.0},
]


def run_script(fldigi, steps, done):
    """Steps: {"wait": seconds}, {"call": method, "args": [...]}, {"wait_for_clear": seconds}
    (until a client calls log.clear, as the bridge does after saving a contact)."""
    try:
        for step in steps:
            if fldigi.terminated.is_set():
                break
            if "wait" in step:
                fldigi.terminated.wait(float(step["wait"]))
            elif "wait_for_clear" in step:
                with fldigi.lock:
                    seen = fldigi.clears
                    fldigi.cleared.wait_for(lambda: fldigi.clears > seen,
                                            timeout=float(step["wait_for_clear"]))
            elif "call" in step:
                # Texts as fldigi holds them: one character per UTF-8 byte.
                args = tuple(a.encode("utf-8").decode("latin-1") if isinstance(a, str) else a
                             for a in step.get("args", ()))
                try:
                    fldigi.call(step["call"], args)
                except Fault as fault:
                    print("fldigi-sim: script step %r failed: %s" % (step, fault), file=sys.stderr)
            else:
                print("fldigi-sim: unknown script step %r" % (step,), file=sys.stderr)
    finally:
        done.set()


def load_script(path):
    with open(path, encoding="utf-8") as f:
        steps = json.load(f)
    if not isinstance(steps, list) or not all(isinstance(s, dict) for s in steps):
        raise ValueError("a script is a JSON list of step objects")
    return steps
