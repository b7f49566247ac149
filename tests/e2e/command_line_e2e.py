#!/usr/bin/env python3
"""End-to-end scenarios of Varnock's command line: the diagnostic log (--log), another fldigi
endpoint (--fldigi), the message box and exit code 2 for a bad command line, and one bridge
per fldigi endpoint. Same arguments and exit codes as bridge_e2e.py, whose processes and
checks these scenarios reuse.
"""

import os
import re
import subprocess
import sys
import time

import bridge_e2e
from bridge_e2e import COMMIT_MACROS, check, qso, wait_box
from e2e_support import IDOK, Failure, StandInFldigi, Varnock, wait_for, windows_path
from run_bridge import describe

OTHER_PORT = 7363
LINE = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (.*)$")


def log_events(path):
    """The events of a diagnostic log, after checking every line's time stamp."""
    with open(path, "rb") as log:
        lines = log.read().decode("utf-8").split("\n")
    if lines[-1] != "":
        raise Failure("the log's last line is not ended: %r" % lines[-1])
    events = []
    for line in lines[:-1]:
        match = LINE.match(line)
        if not match:
            raise Failure("log line without its local time to the millisecond: %r" % line)
        events.append(match.group(1))
    return events


def start_varnock(run, *args):
    run.varnock = Varnock(run.stack, run.wine, run.args.varnock, run.probe, run.workdir, args)
    return run.varnock


def start_raw(run, *args):
    """Varnock.exe with arguments, without waiting for a window."""
    return run.stack.start("Varnock " + " ".join(args), run.wine.argv(run.args.varnock, *args),
                           env=run.wine.env, cwd=run.workdir, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)


def scenario_bad_command_line(run):
    fldigi = run.start_fldigi("stand-in")
    cases = [(("--log", windows_path(os.path.join(run.workdir, "no-such-folder", "v.log"))),
              "The log file cannot be opened", 2),
             (("--bogus",), "Unknown option: --bogus", 2),
             (("--fldigi", "ftp://x"), "--fldigi ftp://x: The URI must begin with", 2),
             (("/?",), "Usage: Varnock [--fldigi URL] [--log FILE]", 0)]
    for args, text, code in cases:
        process = start_raw(run, *args)
        box = wait_for(lambda: next((b for b in run.probe.boxes()
                                     if any(text in t for t in b["texts"])), None), 10,
                       "a box saying %r" % text)
        check(box["title"] == "Varnock", "%s: the box names the problem: %r" % (
            " ".join(args), next(t for t in box["texts"] if text in t).split("\n")[0]))
        run.probe.press(box["hwnd"], IDOK)
        got = process.wait(timeout=10)
        check(got == code, "%s ends with exit code %d (got %d)" % (" ".join(args), code, got))
    check(fldigi.requests() == [], "no request reached fldigi")


def dialog_of(run, pid):
    return next((d for d in run.probe._lines("states") if d["pid"] == pid), None)


def scenario_log_real(run):
    fldigi = run.start_fldigi("real")
    kebrin = run.start_kebrin()
    log_path = os.path.join(run.workdir, "диагностика varnock.log")
    varnock = start_varnock(run, "--log", windows_path(log_path))
    run.wait_connected()
    run.wait_calls([qso(2, "599"), ("Mode", ["BPSK31"])])
    one_bridge_per_session(run)

    fldigi.rpc("log.set_call", "dl2log")
    fldigi.rpc("log.set_name", "Log")
    run.wait_calls([qso(0, "DL2LOG"), qso(1, "Log")])
    fldigi.log_contact()
    run.wait_calls([("RunMacro", ["<CURSOR:TX>"])])
    calls = kebrin.calls()
    check(calls.count(("RunMacro", ["<SAVEQSO>"])) == 1 and calls.count(qso(0, "DL2LOG")) == 1,
          "the host journal shows every call once")
    time.sleep(bridge_e2e.TICK * 1.5)  # the cleared fields of the next tick
    events = log_events(log_path)
    check(events[0].startswith("Varnock 1.0.0.1 started; fldigi at http://127.0.0.1:7362/RPC2"),
          "the log starts with the version and the endpoint: %r" % events[0])
    sent = [e[len("host <- "):] for e in events if e.startswith("host <- ")]
    journal = [describe(c, a) for c, a in kebrin.calls()]
    check(sent == journal, "one log line per host call, in the journal's order (%d lines%s)" % (
        len(sent), "" if sent == journal else ": %r against %r" % (sent, journal)))
    check([s for s in sent if s[12:] in COMMIT_MACROS] ==
          ["RunMacro    " + m for m in COMMIT_MACROS], "the three commit macros are logged")
    commit = next(i for i, e in enumerate(events)
                  if e.startswith("contact \"DL2LOG\" logged in fldigi ("))
    check(events[commit + 1] == "host <- RunMacro    <FIXSTARTTIME>",
          "the commit line comes before its macros: %r" % events[commit])
    check(any(e.startswith("marker deleted: ") for e in events), "the marker deletion is logged")
    check("fldigi <- log.clear" in events, "log.clear is logged")

    fldigi.kill()
    box = wait_box(run, "FLDIGI not loaded!")
    run.probe.press(box["hwnd"], IDOK)
    check(varnock.process.wait(timeout=10) == 0, "OK ends the bridge with exit code 0")
    events = log_events(log_path)
    check(any(e.startswith("fldigi read failed: log.get_call: ") for e in events),
          "the failed read is logged with its method and error: %r" % events[-3])
    check(events[-2:] == ["message box \"FLDIGI not loaded!\" answered OK",
                          "process ends with exit code 0"], "the box's answer is logged")


def one_bridge_per_session(run):
    """A second start ends at once with exit code 0 and brings the first to the front, for an
    equivalent endpoint written otherwise and for another endpoint alike: one host, one bridge."""
    first = run.varnock.pid
    for args in (("--fldigi", "http://localhost:7362/RPC2"),
                 ("--fldigi", "http://127.0.0.1:%d/RPC2" % OTHER_PORT), ()):
        started = time.monotonic()
        code = start_raw(run, *args).wait(timeout=10)
        took = time.monotonic() - started
        # At once: 0.2-0.5 s on a quiet machine. The bound leaves room for a Wine start on a
        # machine busy with the other suites; a second bridge that went on to poll would show
        # in the host's journal, which is checked below.
        check(code == 0 and took < 5.0, "a second start %s ends with exit code 0 in %.2f s "
              "(exit code %s)" % (" ".join(args) or "without options", took, code))
        check(dialog_of(run, first)["foreground"], "the running bridge's window is in front")
    check(len(run.probe._lines("states")) == 1, "one bridge window")


def scenario_other_port(run):
    default_port = run.start_fldigi("stand-in")
    run.start_fldigi = lambda kind=None: setattr(run, "fldigi", StandInFldigi(
        run.stack, run.workdir, bridge_e2e.STAND_IN, port=OTHER_PORT)) or run.fldigi
    run.start_varnock = lambda: start_varnock(
        run, "--fldigi", "http://127.0.0.1:%d/RPC2" % OTHER_PORT)
    bridge_e2e.scenario_happy(run)
    check(default_port.requests() == [], "nothing was requested on port 7362")


bridge_e2e.SCENARIOS.update({
    "bad-command-line": scenario_bad_command_line,
    "log-real": scenario_log_real,
    "other-port": scenario_other_port,
})

if __name__ == "__main__":
    sys.exit(bridge_e2e.main())
