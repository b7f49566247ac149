#!/usr/bin/env python3
"""The user guide's pictures, taken from the real program: Varnock.exe under Wine with the
fldigi stand-in and kebrin-sim.exe, in the states the guide explains.

    guide_pictures.py --build-dir B --varnock EXE --kebrin-sim EXE --probe EXE
                      (--write DIR | --check DIR [--output DIR])

--write saves the pictures into DIR (docs/images). --check takes them afresh and compares
them pixel by pixel with those in DIR: a dialog that changed fails until the pictures are
remade (scripts/screenshots); the fresh ones are left in --output for a look. Needs an X
display with a Wine session (scripts/with-wine-session). Holds the port 7362 lock. Exit code
0 when written or equal, 1 otherwise.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

from e2e_support import (IDOK, Failure, KebrinSim, PortLock, Probe, Stack, StandInFldigi,
                         Varnock, Wine, wait_for)
from scenarios_ledger import record, replace_marker

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
STAND_IN = os.path.join(REPO, "tools", "fldigi-sim", "fldigi_sim.py")
CONNECTED = "Fldigi<->Kebrin by Zorvath ---> Connected"
BOX_TEXT = "FLDIGI not loaded!"
# fldigi's folder as the pictures name it: the same on every run (the port lock keeps runs
# apart).
FLDIGI_FOLDER = "/tmp/varnock-guide/fldigi.files"
# (file, what the picture shows), in the order they are taken.
PICTURES = [
    ("start.png", "both programs absent: both indicators \"not load\""),
    ("fldigi-only.png", "fldigi reached, Kebrin absent"),
    ("connected.png", "both reached: green indicators, caption \"---> Connected\""),
    ("not-saved.png", "a record too old to save: the status line names unsaved-contacts.adi"),
    ("fldigi-gone.png", "fldigi gone after connecting: the message box"),
]


def grab(rect, path):
    """The screen area of a window rectangle [left, top, right, bottom] as a PNG without
    time stamps or other metadata."""
    left, top, right, bottom = rect
    subprocess.run(["import", "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage",
                    "-strip", "-define", "png:exclude-chunks=date,time", path],
                   check=True, timeout=30)


def take_pictures(args, folder):
    """Takes the pictures of PICTURES into `folder`."""
    stack, wine = Stack(), Wine(args.build_dir)
    probe = Probe(wine, args.probe)
    workdir = tempfile.mkdtemp(prefix="varnock-pictures.")
    try:
        varnock = Varnock(stack, wine, args.varnock, probe, workdir)
        wait_for(lambda: varnock.state().get("found"), 10, "Varnock's window")
        # One tick with nothing to reach, so that the picture shows a running bridge.
        time.sleep(1.5)
        grab(varnock.state()["rect"], os.path.join(folder, PICTURES[0][0]))
        shutil.rmtree(FLDIGI_FOLDER, ignore_errors=True)
        os.makedirs(os.path.join(FLDIGI_FOLDER, "temp"))
        fldigi = StandInFldigi(stack, workdir, STAND_IN, config_dir=FLDIGI_FOLDER)
        wait_for(lambda: varnock.state()["fldigi"]["text"] == "Fldigi working", 5,
                 "the fldigi indicator working")
        grab(varnock.state()["rect"], os.path.join(folder, PICTURES[1][0]))
        KebrinSim(stack, wine, args.kebrin_sim, workdir)
        wait_for(lambda: varnock.state()["caption"] == CONNECTED, 5, "both sides connected")
        wait_for(lambda: varnock.state()["status"]["text"].startswith("Waiting"), 5,
                 "the status line after connecting")
        grab(varnock.state()["rect"], os.path.join(folder, PICTURES[2][0]))
        replace_marker(fldigi, record("G4OLD", minutes_ago=90))
        wait_for(lambda: "not saved" in varnock.state()["status"]["text"], 5,
                 "the status line naming the records not saved")
        grab(varnock.state()["rect"], os.path.join(folder, PICTURES[3][0]))
        fldigi.kill()
        box = wait_for(lambda: next((b for b in varnock.boxes() if BOX_TEXT in b["texts"]),
                                    None), 5, "the box \"%s\"" % BOX_TEXT)
        grab(box["rect"], os.path.join(folder, PICTURES[4][0]))
        probe.press(box["hwnd"], IDOK)  # OK ends Varnock
        varnock.process.wait(timeout=10)
    finally:
        stack.close()
        shutil.rmtree(os.path.dirname(FLDIGI_FOLDER), ignore_errors=True)


def pixels(path):
    size = subprocess.run(["identify", "-format", "%wx%h", path], check=True,
                          stdout=subprocess.PIPE, timeout=30).stdout
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                         stdout=subprocess.PIPE, timeout=30).stdout
    return size, raw


def compare(expected_dir, fresh_dir):
    """Names of the pictures in `fresh_dir` that differ from those in `expected_dir`."""
    differing = []
    for name, what in PICTURES:
        expected = os.path.join(expected_dir, name)
        same = os.path.exists(expected) and pixels(expected) == pixels(
            os.path.join(fresh_dir, name))
        print("%s: %s (%s)" % ("ok" if same else "DIFFERS", name, what), flush=True)
        if not same:
            differing.append(name)
    return differing


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--build-dir", "--varnock", "--kebrin-sim", "--probe"):
        parser.add_argument(option, required=True)
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--write", metavar="DIR")
    mode.add_argument("--check", metavar="DIR")
    parser.add_argument("--output", help="where --check leaves the fresh pictures")
    args = parser.parse_args()
    # The programs start in a folder of their own: relative paths would not reach them.
    for name in ("build_dir", "varnock", "kebrin_sim", "probe"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    folder = args.write or args.output or tempfile.mkdtemp(prefix="varnock-pictures-out.")
    os.makedirs(folder, exist_ok=True)
    lock = PortLock()
    try:
        take_pictures(args, folder)
    except Failure as failure:
        print("FAILED: %s" % failure, flush=True)
        return 1
    finally:
        lock.release()
    if args.write:
        print("pictures written to %s" % folder)
        return 0
    differing = compare(args.check, folder)
    if differing:
        print("FAILED: the program no longer looks like the guide's pictures (%s); fresh ones "
              "are in %s; remake them with scripts/screenshots" % (", ".join(differing), folder))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
