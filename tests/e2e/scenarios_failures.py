"""Scenarios of the bridge when a side is missing, goes away or refuses."""

import os
import stat
import time

from e2e_run import (MAIN_CAPTION, TICK, check, frequency_hz, qso, wait_box,
                     wait_host_error_box)
from e2e_support import IDCANCEL, IDOK, wait_for


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
    for _ in range(9):  # the rest of this tick's eleven reads but the last
        box = wait_box(run, "FLDIGI not loaded!", exclude=answered)
        answered.append(box["hwnd"])
        print("box %d at %.1f s" % (len(answered), time.monotonic() - killed), flush=True)
        run.probe.press(box["hwnd"], IDCANCEL)
    box = wait_box(run, "FLDIGI not loaded!", exclude=answered)
    answered.append(box["hwnd"])
    check(len(answered) == 11, "Cancel goes on: one box per failed read")
    check(run.calls()[since:] == [],
          "Cancel keeps the host's fields intact (nothing sent: %r)" % run.calls()[since:])
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
    box = wait_host_error_box(run)
    requests = len(fldigi.requests())
    time.sleep(TICK * 2.5)
    check(len(fldigi.requests()) == requests, "polling stopped: no more fldigi requests")
    run.probe.press(box["hwnd"], IDOK)
    time.sleep(TICK * 2.5)
    check(varnock.state()["host"]["text"] == "Kebrin not load !",
          "after the error box the host indicator is back to \"Kebrin not load !\"")
    check(len(fldigi.requests()) == requests and run.boxes_of_varnock() == [],
          "while the host is gone nothing is read from fldigi and no box comes")
    check(varnock.finish() == 0, "Finish still ends Varnock with exit code 0")


def scenario_host_busy(run):
    fldigi = run.start_fldigi("stand-in")
    kebrin = run.start_kebrin()
    run.start_varnock()
    run.wait_connected()
    fldigi.rpc("log.set_call", "BUSY1")
    run.wait_calls([qso(0, "BUSY1")])
    with open(kebrin.control_path, "w") as control:
        control.write("busy\n")  # the stand-in answers "retry later", as under a modal dialog
    time.sleep(TICK)
    fldigi.rpc("log.set_name", "Patient")
    time.sleep(5)
    since = len(run.calls())
    check(qso(1, "Patient") not in run.calls(), "a busy host takes no call")
    with open(kebrin.control_path, "w") as control:
        control.write("ok\n")
    run.wait_calls([qso(1, "Patient")], since=since, timeout=5)
    check(True, "the field sent while the host was busy for 5 s arrives once it is free")
    check(run.boxes_of_varnock() == [], "no error box")
    fldigi.rpc("log.set_name", "Onward")
    run.wait_calls([qso(1, "Onward")], since=since)
    check(True, "polling goes on")


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
    taken = os.path.join(os.path.dirname(marker), "varnock-claimed-1.adif")
    check(os.path.exists(marker) or os.path.exists(taken), "the marker could not be deleted")
    check(saves() == 1, "an undeletable marker is saved exactly once (%d saves)" % saves())
    if os.geteuid() == 0:  # only root can append to the read-only file, as fldigi must here
        fldigi.rpc("log.set_call", "RO2")
        run.wait_calls([qso(0, "RO2")])
        fldigi.log_contact()
        wait_for(lambda: saves() == 2, 20, "the next contact in the same file to be saved")
        time.sleep(TICK * 2.5)
        check(saves() == 2, "a contact added to that marker is saved once more")
