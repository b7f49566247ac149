#!/usr/bin/env python3
"""End-to-end scenarios of the bridge: Varnock.exe under Wine between fldigi (Debian's real
fldigi or the stand-in tools/fldigi-sim) and kebrin-sim.exe, checked through kebrin-sim's
journal, the stand-in's request log, fldigi's own getters, Varnock's window (e2e_probe.exe)
and screenshots.

    bridge_e2e.py --build-dir B --varnock EXE --kebrin-sim EXE --probe EXE \
                  --fldigi real|stand-in --output DIR SCENARIO

Needs an X display with a Wine session (scripts/with-wine-session); without DISPLAY it runs
itself under one. Holds /tmp/varnock-port7362.lock while it runs. Exit code 0 when every check
passed, 1 on a failed check, 2 on a usage error.
"""

import argparse
import os
import shutil
import stat
import sys
import tempfile
import time

from e2e_support import (IDCANCEL, IDOK, Failure, KebrinSim, PortLock, Probe, RealFldigi,
                         Stack, StandInFldigi, Varnock, Wine, pixel, screenshot, wait_for)

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
STAND_IN = os.path.join(REPO, "tools", "fldigi-sim", "fldigi_sim.py")
MAIN_CAPTION = "Fldigi<->Kebrin by Zorvath"
CONNECTED_CAPTION = MAIN_CAPTION + " ---> Connected"
GREEN = (0, 255, 0)
COMMIT_MACROS = ["<FIXSTARTTIME>", "<SAVEQSO>", "<CURSOR:TX>"]
TICK = 1.0


def check(condition, text):
    if not condition:
        raise Failure(text)
    print("ok: " + text, flush=True)


class Run:
    """One scenario's processes and tools."""

    def __init__(self, args):
        self.args = args
        self.stack = Stack()
        self.wine = Wine(args.build_dir)
        self.probe = Probe(self.wine, args.probe)
        # A Linux folder: Varnock's current drive is then Z:, where fldigi's folder is.
        self.workdir = tempfile.mkdtemp(prefix="varnock-e2e.")
        self.kebrin = None
        self.varnock = None
        self.fldigi = None

    def start_fldigi(self, kind=None):
        kind = kind or self.args.fldigi
        if kind == "real":
            self.fldigi = RealFldigi(self.stack, self.workdir)
        else:
            self.fldigi = StandInFldigi(self.stack, self.workdir, STAND_IN)
        return self.fldigi

    def start_kebrin(self):
        self.kebrin = KebrinSim(self.stack, self.wine, self.args.kebrin_sim, self.workdir)
        return self.kebrin

    def start_varnock(self):
        self.varnock = Varnock(self.stack, self.wine, self.args.varnock, self.probe,
                               self.workdir)
        return self.varnock

    def calls(self):
        return self.kebrin.calls()

    def wait_calls(self, expected, since=0, timeout=6.0):
        """Waits until every (call, args) of `expected` is in the journal after `since`."""
        def arrived():
            got = self.calls()[since:]
            return all(e in got for e in expected)
        try:
            wait_for(arrived, timeout, "calls %r" % (expected,))
        except Failure:
            raise Failure("these calls did not reach the host: %r; journal since %d: %r" % (
                [e for e in expected if e not in self.calls()[since:]], since,
                self.calls()[since:]))

    def wait_connected(self, timeout=10.0):
        return wait_for(lambda: self._connected(self.varnock.state()), timeout,
                        "both indicators working and the caption \"---> Connected\"")

    @staticmethod
    def _connected(state):
        return (state.get("found") and state["caption"] == CONNECTED_CAPTION
                and state["fldigi"]["text"] == "Fldigi working"
                and state["host"]["text"] == "Kebrin working" and state)

    def save_screenshot(self, name):
        os.makedirs(self.args.output, exist_ok=True)
        return screenshot(os.path.join(self.args.output, name))

    def boxes_of_varnock(self):
        return self.varnock.boxes()

    def close(self):
        self.stack.close()
        if self.fldigi is not None and self.fldigi.name == "real":
            RealFldigi.remove_message_queue()
        marker_dir = self.fldigi and os.path.dirname(self.fldigi.marker_path())
        if marker_dir and os.path.isdir(marker_dir):
            os.chmod(marker_dir, 0o755)
        shutil.rmtree(self.workdir, ignore_errors=True)


def frequency_hz(run):
    """What the bridge must send for fldigi's current frequency text (kHz)."""
    return float(run.fldigi.rpc("log.get_frequency")) * 1000.0


def qso(index, text):
    return ("SetQsoField", [index, text])


def modem_calls(calls):
    return [c for c in calls if c[0] == "Mode" or (c[0] == "RunMacro" and "MODE" in c[1][0])]


# -- scenarios ------------------------------------------------------------------------------

def scenario_happy(run):
    fldigi = run.start_fldigi()
    run.start_kebrin()
    varnock = run.start_varnock()

    state = run.wait_connected()
    check(state["link"]["visible"] and state["link"]["enabled"], "link mark shown and enabled")
    shot = run.save_screenshot("happy-%s.png" % fldigi.name)
    for side in ("fldigi", "host"):
        left, top, right, bottom = state[side]["rect"]
        corners = [pixel(shot, left + 4, top + 4), pixel(shot, right - 5, bottom - 5)]
        check(all(c == GREEN for c in corners),
              "%s indicator face is green in %s (%r)" % (side, shot, corners))

    # The first connected tick copies what fldigi shows from the start.
    run.wait_calls([qso(2, "599"), qso(5, "599"), ("Mode", ["BPSK31"]),
                    ("Frequency", [frequency_hz(run)])])
    print("ok: fldigi's initial RST, modem and frequency reached the host", flush=True)

    # A contact typed in fldigi.
    since = len(run.calls())
    fldigi.rpc("log.set_call", "dl1abc")  # first: a new call clears the other fields
    fldigi.rpc("log.set_name", "Hans")
    fldigi.rpc("log.set_qth", "Berlin")
    fldigi.rpc("log.set_locator", "JO62QM")
    fldigi.rpc("log.set_rst_in", "579")
    fldigi.rpc("log.set_rst_out", "559")
    fldigi.rpc("main.set_frequency", 7035000.0)
    expected = [qso(0, "DL1ABC"), qso(1, "Hans"), qso(3, "Berlin"), qso(10, "JO62QM"),
                qso(2, "579"), qso(5, "559")]
    if fldigi.name == "stand-in":
        fldigi.rpc("log.set_state", "BY")
        fldigi.rpc("log.set_province", "ON")
        fldigi.rpc("log.set_notes", "tnx fer QSO")
        expected += [qso(7, "BY"), qso(8, "ON"), qso(4, "tnx fer QSO")]
    # fldigi applies its setters on its own thread, a little later.
    wait_for(lambda: fldigi.rpc("log.get_frequency") == "7036.500", 3,
             "fldigi to show 7036.500 kHz (rig + carrier)")
    expected.append(("Frequency", [7036500.0]))
    run.wait_calls(expected, since)
    print("ok: call, name, QTH, locator, RST, frequency arrived with their indices", flush=True)

    # A modem change is exactly one macro or Mode call.
    for modem, call in (("PSK500R", ("RunMacro", ["<MODEADD:PSKR>"])),
                        ("MFSK16", ("RunMacro", ["<MODE:MFSK>"])),
                        ("BPSK63", ("Mode", ["BPSK63"]))):
        since = len(run.calls())
        fldigi.rpc("modem.set_by_name", modem)
        run.wait_calls([call], since)
        time.sleep(TICK * 1.5)
        got = modem_calls(run.calls()[since:])
        check(got == [call], "modem %s gives exactly %r (got %r)" % (modem, call, got))

    # Logging the contact.
    fldigi.rpc("log.set_qth", "Potsdam")
    run.wait_calls([qso(3, "Potsdam")])
    since = len(run.calls())
    fldigi.log_contact()
    run.wait_calls([("RunMacro", ["<CURSOR:TX>"])], since)
    calls = run.calls()
    macros = [c for c in calls if c[0] == "RunMacro" and c[1][0] in COMMIT_MACROS]
    check([m[1][0] for m in macros] == COMMIT_MACROS,
          "one commit: %s in that order" % ", ".join(COMMIT_MACROS))
    start = calls.index(("RunMacro", ["<FIXSTARTTIME>"]))
    check(calls[start:start + 3] == [("RunMacro", [m]) for m in COMMIT_MACROS],
          "the three macros follow each other")
    check(calls.index(qso(3, "Potsdam")) < start, "the contact's field changes came first")
    wait_for(lambda: not os.path.exists(fldigi.marker_path()), 3, "the marker to be deleted")
    check(True, "the marker file is gone")
    wait_for(lambda: fldigi.rpc("log.get_call") == "", 3, "fldigi's fields to be cleared")
    check(fldigi.rpc("log.get_name") == "" and fldigi.rpc("log.get_qth") == "",
          "fldigi's log fields are cleared")
    cleared = [qso(0, ""), qso(1, ""), qso(3, ""), qso(10, "")]
    # What log.clear does to the RST fields differs between fldigi versions: follow fldigi.
    for index, method in ((2, "log.get_rst_in"), (5, "log.get_rst_out")):
        now = fldigi.rpc(method)
        sent = [c[1][1] for c in calls[:start] if c[0] == "SetQsoField" and c[1][0] == index]
        if now != sent[-1]:
            cleared.append(qso(index, now))
    run.wait_calls(cleared, start + 3)
    print("ok: the cleared fields reached the host on the next tick", flush=True)

    check(varnock.finish() == 0, "Finish ends Varnock with exit code 0")


def scenario_nothing_lost(run, contacts=20, spacing=2.0):
    fldigi = run.start_fldigi()
    run.start_kebrin()
    run.start_varnock()
    run.wait_connected()
    calls_signs = ["DL%dXYZ" % i if i < 10 else "OK%dAB" % i for i in range(contacts)]
    last_log = 0.0
    for number, call in enumerate(calls_signs, 1):
        fldigi.rpc("log.set_call", call)
        fldigi.rpc("log.set_name", "Op %d" % number)
        run.wait_calls([qso(0, call)], timeout=5)
        time.sleep(max(0.0, last_log + spacing - time.monotonic()))
        last_log = time.monotonic()
        fldigi.log_contact()
        # The bridge clears fldigi's fields after saving: the next contact starts after that.
        wait_for(lambda: run.calls().count(("RunMacro", ["<SAVEQSO>"])) >= number, 5,
                 "contact %d (%s) to be saved" % (number, call))
        wait_for(lambda: fldigi.rpc("log.get_call") == "", 5, "log.clear after %s" % call)
    time.sleep(TICK * 1.5)
    calls = run.calls()
    saves = [i for i, c in enumerate(calls) if c == ("RunMacro", ["<SAVEQSO>"])]
    check(len(saves) == contacts, "exactly %d <SAVEQSO> (got %d)" % (contacts, len(saves)))
    for call, save in zip(calls_signs, saves):
        before = [c[1][1] for c in calls[:save] if c[0] == "SetQsoField" and c[1][0] == 0]
        if not before or before[-1] != call:
            raise Failure("the save of %s was preceded by call sign %r" % (
                call, before[-1] if before else None))
    check(True, "each save preceded by its own contact's call sign")


def scenario_texts(run):
    fldigi = run.start_fldigi()
    run.start_kebrin()
    run.start_varnock()
    run.wait_connected()
    fldigi.rpc("log.set_call", "UA3ABC")
    run.wait_calls([qso(0, "UA3ABC")])
    for name in ("Tom & Jerry <QRP> \"Q\" 'x'", "Müller", "Иван", "Jörg & Иван <73>"):
        fldigi.rpc("log.set_name", name)
        run.wait_calls([qso(1, name)], timeout=4)
        check(True, "name %r arrived intact" % name)
    fldigi.rpc("log.set_qth", "Санкт-Петербург")
    run.wait_calls([qso(3, "Санкт-Петербург")], timeout=4)
    check(True, "a Cyrillic QTH arrived intact")


def scenario_fldigi_absent(run):
    run.start_kebrin()
    run.start_varnock()
    time.sleep(TICK * 3.5)
    state = run.varnock.state()
    check(state["host"]["text"] == "Kebrin working", "host attached without fldigi")
    check(state["fldigi"]["text"] == "Fldigi not load !", "fldigi indicator stays \"not load\"")
    check(state["caption"] == MAIN_CAPTION, "caption unchanged")
    check(not state["link"]["visible"], "link mark hidden")
    check(run.boxes_of_varnock() == [], "no message box while fldigi is absent")
    check(run.calls() == [], "nothing sent to the host")
    run.start_fldigi()
    run.wait_connected(timeout=5)
    check(True, "fldigi started later is connected on a later tick")
    run.wait_calls([qso(2, "599"), ("Mode", ["BPSK31"])])


def scenario_host_late(run):
    fldigi = run.start_fldigi()
    fldigi.rpc("log.set_call", "LATE1")
    fldigi.rpc("log.set_name", "Late")
    varnock = run.start_varnock()
    wait_for(lambda: varnock.state()["fldigi"]["text"] == "Fldigi working", 5,
             "fldigi indicator working")
    time.sleep(TICK * 1.5)
    state = varnock.state()
    check(state["host"]["text"] == "Kebrin not load !", "host indicator stays \"not load\"")
    check(state["caption"] == MAIN_CAPTION and not state["link"]["visible"],
          "caption unchanged and link mark hidden while the host is absent")
    kebrin = run.start_kebrin()
    run.wait_connected(timeout=5)
    expected = [qso(0, "LATE1"), qso(1, "Late"), qso(2, "599"), qso(5, "599"),
                ("Mode", ["BPSK31"]), ("Frequency", [frequency_hz(run)])]
    run.wait_calls(expected, timeout=3)
    time.sleep(TICK * 1.5)
    check(sorted(map(repr, kebrin.calls())) == sorted(map(repr, expected)),
          "the attaching tick sent every non-empty field once, and nothing else (%r)"
          % kebrin.calls())


def wait_box(run, text, timeout=5.0, exclude=()):
    return wait_for(lambda: next((b for b in run.boxes_of_varnock()
                                  if text in b["texts"] and b["hwnd"] not in exclude), None),
                    timeout, "a message box \"%s\"" % text)


def scenario_fldigi_killed(run):
    fldigi = run.start_fldigi()
    run.start_kebrin()
    varnock = run.start_varnock()
    run.wait_connected()
    fldigi.rpc("log.set_call", "KILL1")
    fldigi.rpc("log.set_name", "Gone")
    run.wait_calls([qso(0, "KILL1"), qso(1, "Gone")])
    time.sleep(TICK * 0.5)
    since = len(run.calls())
    fldigi.kill()
    killed = time.monotonic()
    box = wait_box(run, "FLDIGI not loaded!")
    check(sorted(b[0] for b in box["buttons"]) == [IDOK, IDCANCEL],
          "\"FLDIGI not loaded!\" asks OK or Cancel (title %r)" % box["title"])
    answered = [box["hwnd"]]
    run.probe.press(box["hwnd"], IDCANCEL)
    for _ in range(10):  # the rest of this tick's eleven reads
        box = wait_box(run, "FLDIGI not loaded!", exclude=answered)
        answered.append(box["hwnd"])
        print("box %d at %.1f s" % (len(answered), time.monotonic() - killed), flush=True)
        run.probe.press(box["hwnd"], IDCANCEL)
    check(len(answered) == 11, "Cancel goes on: one box per failed read")
    check(run.calls()[since:] == [],
          "Cancel keeps the host's fields intact (nothing sent: %r)" % run.calls()[since:])
    box = wait_box(run, "FLDIGI not loaded!", exclude=answered)
    check(True, "the next tick comes and asks again")
    run.probe.press(box["hwnd"], IDOK)
    code = varnock.process.wait(timeout=10)
    check(code == 0, "OK ends Varnock with exit code 0 (got %d)" % code)


def scenario_host_quits(run):
    fldigi = run.start_fldigi("stand-in")
    kebrin = run.start_kebrin()
    varnock = run.start_varnock()
    run.wait_connected()
    fldigi.rpc("log.set_call", "QUIT1")
    run.wait_calls([qso(0, "QUIT1")])
    kebrin.quit()
    time.sleep(TICK * 1.5)
    check(run.boxes_of_varnock() == [], "no error while nothing changes")
    fldigi.rpc("log.set_name", "After")
    box = wait_for(lambda: next(iter(run.boxes_of_varnock()), None), 5, "the error box")
    check(box["title"] == "Varnock" and any(box["texts"]),
          "the failed host call shows the error box (%r)" % box["texts"])
    requests = len(fldigi.requests())
    time.sleep(TICK * 2.5)
    check(len(fldigi.requests()) == requests, "polling stopped: no more fldigi requests")
    run.probe.press(box["hwnd"], IDOK)
    time.sleep(TICK * 2.5)
    check(len(fldigi.requests()) == requests, "polling stays stopped after the error box")
    check(varnock.finish() == 0, "Finish still ends Varnock with exit code 0")


def scenario_marker_undeletable(run):
    fldigi = run.start_fldigi()
    fldigi.rpc("log.set_call", "RO1")
    fldigi.log_contact()
    marker = fldigi.marker_path()
    wait_for(lambda: os.path.exists(marker), 5, "fldigi to write its marker")
    os.chmod(marker, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)  # read-only: DeleteFileA fails
    run.start_kebrin()
    run.start_varnock()
    run.wait_connected()
    saves = lambda: run.calls().count(("RunMacro", ["<SAVEQSO>"]))  # noqa: E731
    wait_for(lambda: saves() == 1, 5, "the contact to be saved")
    time.sleep(TICK * 3.5)
    check(os.path.exists(marker), "the marker could not be deleted")
    check(saves() == 1, "an undeletable marker is saved exactly once (%d saves)" % saves())
    if os.geteuid() == 0:  # only root can append to the read-only file, as fldigi must here
        fldigi.rpc("log.set_call", "RO2")
        run.wait_calls([qso(0, "RO2")])
        fldigi.log_contact()
        wait_for(lambda: saves() == 2, 5, "the next contact in the same file to be saved")
        time.sleep(TICK * 2.5)
        check(saves() == 2, "a contact added to that marker is saved once more")


SCENARIOS = {
    "happy": scenario_happy,
    "nothing-lost": scenario_nothing_lost,
    "texts": scenario_texts,
    "fldigi-absent": scenario_fldigi_absent,
    "host-late": scenario_host_late,
    "fldigi-killed": scenario_fldigi_killed,
    "host-quits": scenario_host_quits,
    "marker-undeletable": scenario_marker_undeletable,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--varnock", required=True)
    parser.add_argument("--kebrin-sim", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--fldigi", choices=("real", "stand-in"), default="stand-in")
    parser.add_argument("--output", required=True, help="folder for screenshots")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    for name in ("build_dir", "varnock", "kebrin_sim", "probe", "output"):
        setattr(args, name, os.path.abspath(getattr(args, name)))

    if not os.environ.get("DISPLAY"):
        session = os.path.join(REPO, "scripts", "with-wine-session")
        os.execv(session, [session, args.build_dir, sys.executable, *sys.argv])

    started = time.monotonic()
    lock = PortLock()
    run = Run(args)
    try:
        SCENARIOS[args.scenario](run)
        print("PASSED %s (%s fldigi) in %.1f s" % (args.scenario, args.fldigi,
                                                   time.monotonic() - started))
        return 0
    except Failure as failure:
        if run.varnock is not None:
            try:
                run.save_screenshot("failed-%s-%s.png" % (args.scenario, args.fldigi))
            except Exception:  # noqa: BLE001 - the failure matters more than the picture
                pass
        print("FAILED %s (%s fldigi): %s" % (args.scenario, args.fldigi, failure))
        return 1
    finally:
        run.close()
        lock.release()


if __name__ == "__main__":
    sys.exit(main())
