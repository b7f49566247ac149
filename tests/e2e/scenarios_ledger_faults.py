#!/usr/bin/env python3
"""End-to-end scenarios of the contact ledger's faults, on the fldigi stand-in: the set-aside
file held open by another program (the contacts after a record to set aside are saved at once,
the record is set aside once the file is free), a record cut at a field boundary followed by
the next one (both set aside, never merged), a kill right after records were set aside (never
set aside twice), and a taken file that cannot be deleted. Same arguments and exit codes as bridge_e2e.py.
"""

import os
import signal
import sys
import time

import bridge_e2e
from bridge_e2e import TICK, check
from e2e_support import wait_for
from scenarios_ledger import Counter, Holder, log_in_fldigi, log_path, record, start_bridge


def unsaved_text(temp):
    try:
        with open(os.path.join(temp, "unsaved-contacts.adi"), encoding="utf-8") as unsaved:
            return unsaved.read()
    except FileNotFoundError:
        return ""


def undeletable_taken_file(run, fldigi, saves, temp):
    before = len(saves.all())
    fldigi_appends(fldigi.marker_path(), record("UD1AA"), read_only=True)
    saves.wait(before + 1)
    time.sleep(TICK * 4)  # deletion tried after 2 ticks, then after 4 more
    log_in_fldigi(fldigi, "UD2BB", "Next")
    saves.wait(before + 2)
    with open(log_path(run), encoding="utf-8") as log:
        problems = log.read().count("cannot be deleted")
    kept = [n for n in os.listdir(temp) if n.startswith("varnock-claimed-")]
    check(saves.calls()[-2:] == ["UD1AA", "UD2BB"] and problems == 1 and len(kept) == 1,
          "a taken file that cannot be deleted: its contact saved once, the next one too, the "
          "problem logged once (%d)" % problems)
    os.chmod(os.path.join(temp, kept[0]), 0o644)


def fldigi_appends(marker, text, read_only=False):
    """Records in fldigi's marker, all at once: as a new marker when there is none (the bridge
    takes each over at once), else appended."""
    os.makedirs(os.path.dirname(marker), exist_ok=True)
    with open(marker + ".new", "w", encoding="utf-8") as new:
        new.write(text)
    if read_only:  # DeleteFile fails on it (and on the taken file it becomes)
        os.chmod(marker + ".new", 0o444)
    try:
        os.link(marker + ".new", marker)  # never over a marker the bridge has not read
    except FileExistsError:
        with open(marker, "a", encoding="utf-8") as log:
            log.write(text)
    os.unlink(marker + ".new")


def set_aside_file_held(run, fldigi, saves, temp):
    os.makedirs(temp, exist_ok=True)
    holder = Holder(run, os.path.join(temp, "unsaved-contacts.adi"), "none")
    started = time.monotonic()
    fldigi_appends(fldigi.marker_path(), record("SA1OLD", minutes_ago=120) + record("SA2AA") +
                   record("SA3BB"))
    wait_for(lambda: saves.all(), 8, "the first save", interval=0.02)
    took = time.monotonic() - started
    saves.wait(2)
    log_in_fldigi(fldigi, "SA4CC", "After")
    saves.wait(3)
    check(saves.calls() == ["SA2AA", "SA3BB", "SA4CC"] and "SA1OLD" not in unsaved_text(temp),
          "the set-aside file held without sharing: the 3 contacts after the old record saved, "
          "the first %.1f s after it was logged; the old record waits" % took)
    freed = time.monotonic()
    holder.release()
    wait_for(lambda: "SA1OLD" in unsaved_text(temp), 10, "the old record to be set aside")
    took = time.monotonic() - freed
    time.sleep(TICK * 2.5)
    check(unsaved_text(temp).count("SA1OLD") == 1 and len(saves.all()) == 3,
          "once the file is free the old record is set aside, once, %.1f s later" % took)


def cut_at_a_field(run, fldigi, saves, temp):
    cut = record("CT1AA")
    cut = cut[:cut.index("<FREQ:")]  # fldigi stopped after the call's field
    fldigi_appends(fldigi.marker_path(), cut + record("CT2BB") + record("CT3CC"))
    saves.wait(4)
    text = unsaved_text(temp)
    check(saves.calls()[-1] == "CT3CC" and text.count("CT1AA") == 1 and
          text.count("CT2BB") == 1 and "Damaged record" in text,
          "a record cut after a field, then the next: both set aside as damage, never merged; "
          "the one after them saved")


def killed_after_set_aside(run, fldigi, saves, temp):
    fldigi_appends(fldigi.marker_path(), record("KS1OLD", minutes_ago=120) + record("KS2AA"))
    wait_for(lambda: "KS1OLD" in unsaved_text(temp), 5, "the old record to be set aside",
             interval=0.005)
    os.kill(run.varnock.process.pid, signal.SIGKILL)
    run.varnock.process.wait(timeout=10)
    run.start_varnock()
    run.wait_connected()
    wait_for(lambda: "KS2AA" in saves.calls(), 5, "the contact after it")
    time.sleep(TICK * 2.5)
    got = saves.calls().count("KS2AA")
    check(unsaved_text(temp).count("KS1OLD") == 1 and got in (1, 2),
          "killed right after a record was set aside, then restarted: set aside once, the "
          "contact after it saved %d time(s)" % got)


def scenario_ledger_faults(run):
    fldigi = run.start_fldigi("stand-in")
    run.start_kebrin()
    run.start_varnock = lambda: start_bridge(run)
    run.start_varnock()
    run.wait_connected()
    saves = Counter(run)
    temp = os.path.dirname(fldigi.marker_path())
    for part in (set_aside_file_held, cut_at_a_field, killed_after_set_aside,
                 undeletable_taken_file):
        started = time.monotonic()
        try:
            part(run, fldigi, saves, temp)
        except Exception:
            with open(log_path(run), encoding="utf-8") as log:
                print("the bridge's last log lines: %r" % log.read().splitlines()[-12:])
            raise
        finally:
            print("%s: %.1f s" % (part.__name__, time.monotonic() - started), flush=True)
            print("files in fldigi's temp folder: %r" % sorted(os.listdir(temp)))


bridge_e2e.SCENARIOS.update({"ledger-faults": scenario_ledger_faults})

if __name__ == "__main__":
    sys.exit(bridge_e2e.main())
