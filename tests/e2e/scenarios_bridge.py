"""Scenarios of the bridge at work: fields, modems and logged contacts, texts."""

import os
import time

from e2e_run import (COMMIT_MACROS, GREEN, TICK, check, frequency_hz, modem_calls, qso)
from e2e_support import Failure, pixel, wait_for


def link_mark_shown(state):
    return state["link"]["visible"] and state["link"]["enabled"] and state


def scenario_happy(run):
    fldigi = run.start_fldigi()
    run.start_kebrin()
    varnock = run.start_varnock()

    run.wait_connected()
    # The tick shows the caption first and the link mark right after it: the probe, another
    # process, may look in between.
    state = wait_for(lambda: link_mark_shown(varnock.state()), 2.0, "the link mark")
    check(link_mark_shown(state), "link mark shown and enabled")
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
