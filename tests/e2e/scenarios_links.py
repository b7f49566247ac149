#!/usr/bin/env python3
"""End-to-end scenarios of the links coming back by themselves and of contacts saved late:
a contact saved once the host runs is saved in its own mode, an entry being typed in fldigi
meanwhile is left alone, a host that quits and runs again is attached again without a restart,
and an fldigi started again with another configuration folder is followed there. Same
arguments and exit codes as bridge_e2e.py, whose processes and checks these scenarios reuse.
"""

import os
import sys
import time

import bridge_e2e
from e2e_run import (CONNECTED_CAPTION, MAIN_CAPTION, TICK, check, modem_calls, qso, wait_box,
                     wait_host_error_box)
from e2e_support import IDCANCEL, IDOK, wait_for

SAVE = ("RunMacro", ["<SAVEQSO>"])


def scenario_late_save(run):
    """Real fldigi: MFSK16's contact saved while fldigi shows BPSK31 and the next call."""
    fldigi = run.start_fldigi("real")
    varnock = run.start_varnock()
    wait_for(lambda: varnock.state()["fldigi"]["text"] == "Fldigi working", 10,
             "fldigi indicator working")
    fldigi.rpc("modem.set_by_name", "MFSK16")
    fldigi.rpc("log.set_call", "LATE1")
    fldigi.rpc("log.set_name", "Late")
    time.sleep(0.2)
    fldigi.log_contact()
    wait_for(lambda: os.path.exists(fldigi.marker_path()), 5, "fldigi to log the contact")
    fldigi.rpc("modem.set_by_name", "BPSK31")
    fldigi.rpc("log.set_call", "NEXT2")  # the operator goes on with the next contact
    time.sleep(0.2)
    started = time.monotonic()
    run.start_kebrin()
    run.wait_connected()
    wait_for(lambda: SAVE in run.calls(), 5, "the contact to be saved")
    print("saved %.1f s after kebrin-sim was started" % (time.monotonic() - started))
    calls = run.calls()
    before = calls[:calls.index(SAVE)]
    check(qso(0, "LATE1") in before and qso(1, "Late") in before,
          "the host's form held the logged contact when it was saved (%r)" % before)
    check(modem_calls(before) == [("RunMacro", ["<MODE:MFSK>"])],
          "the contact logged in MFSK16 is saved in MFSK16's mode, not in BPSK31's (%r)"
          % modem_calls(before))
    time.sleep(TICK * 2.5)
    check(fldigi.rpc("log.get_call") == "NEXT2",
          "the call typed meanwhile is still in fldigi's entry (no log.clear)")
    after = run.calls()[len(before):]
    check(qso(0, "NEXT2") in after and ("Mode", ["BPSK31"]) in after,
          "after the save the host follows fldigi's entry again (%r)" % after)


def answer_fldigi_boxes(run, count, button):
    answered = []
    for _ in range(count):
        box = wait_box(run, "FLDIGI not loaded!", exclude=answered)
        answered.append(box["hwnd"])
        run.probe.press(box["hwnd"], button)
    return answered


def scenario_links_back(run):
    """Stand-in fldigi: the host quits and runs again, fldigi stops and runs again elsewhere."""
    fldigi = run.start_fldigi("stand-in")
    kebrin = run.start_kebrin()
    varnock = run.start_varnock()
    run.wait_connected()
    fldigi.rpc("log.set_call", "BACK1")
    run.wait_calls([qso(0, "BACK1")])

    kebrin.quit()
    fldigi.rpc("log.set_name", "Away")  # the next host call fails
    box = wait_host_error_box(run)
    state = varnock.state()
    check(state["host"]["text"] == "Kebrin not load !",
          "the host indicator reads \"Kebrin not load !\" (%r)" % state["host"]["text"])
    check(state["caption"] == MAIN_CAPTION and not state["link"]["visible"],
          "caption and link mark are back to their start look")
    run.probe.press(box["hwnd"], IDOK)
    fldigi.rpc("log.set_call", "AWAY1")
    fldigi.log_contact()  # logged while the host is away
    time.sleep(TICK * 2.5)
    check(run.boxes_of_varnock() == [], "no box while the host is away")

    back = time.monotonic()
    run.start_kebrin()
    run.wait_connected(timeout=5)
    run.wait_calls([qso(0, "AWAY1"), SAVE], timeout=5)
    print("saved %.1f s after kebrin-sim was started again" % (time.monotonic() - back))
    check(varnock.state()["host"]["text"] == "Kebrin working",
          "the host indicator reads \"Kebrin working\" again")

    old_folder = fldigi.config_dir
    fldigi.kill()
    answer_fldigi_boxes(run, 11, IDCANCEL)
    state = varnock.state()
    check(state["fldigi"]["text"] == "Fldigi not load !" and not state["link"]["visible"],
          "the fldigi indicator reads \"Fldigi not load !\" and the link mark is hidden")
    time.sleep(TICK * 2.5)
    check(run.boxes_of_varnock() == [], "while fldigi is away it is looked for without a box")

    fldigi = run.start_fldigi("stand-in")
    check(fldigi.config_dir != old_folder, "fldigi runs with another configuration folder")
    wait_for(lambda: varnock.state()["caption"] == CONNECTED_CAPTION, 5, "connected again")
    fldigi.rpc("log.set_call", "NEW1")
    since = len(run.calls())
    fldigi.log_contact()
    run.wait_calls([qso(0, "NEW1"), SAVE], since=since, timeout=5)
    wait_for(lambda: not os.path.exists(fldigi.marker_path()), 5,
             "the new folder's marker to be taken")
    check(True, "the next contact is saved from the new folder")


bridge_e2e.SCENARIOS.update({
    "late-save": scenario_late_save,
    "links-back": scenario_links_back,
})

if __name__ == "__main__":
    sys.exit(bridge_e2e.main())
