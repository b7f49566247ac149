"""The window's status line, read through the probe: Kebrin absent, the set-aside file found at
start, gone when it is deleted, a saved contact, and a stale record set aside while the caption
stays the plain "---> Connected". Each status is photographed (the window only) into the output
folder."""

import os
import signal
import subprocess
import time

from e2e_run import CONNECTED_CAPTION, check
from e2e_support import wait_for
from scenarios_ledger import record, replace_marker

UNSAVED = "unsaved-contacts.adi"
STATUS_LINE = 1006
HEADER = "Varnock: records not saved in the host\n<EOH>\n"
# The ledger looks at the set-aside file every few seconds.
PROBE_INTERVAL_S = 10


def status_text(run):
    return run.varnock.state()["status"]["text"]


def unsaved_path(fldigi):
    """The set-aside file as the bridge names it: fldigi's folder with backslashes."""
    return fldigi.config_dir.replace("/", "\\") + "\\temp\\" + UNSAVED


def names_file(text, count, path):
    """Whether the line says `count` contacts not saved in the file `path`, which may have lost
    its middle to "…" to fit."""
    lead = "%d contact%s not saved: " % (count, "" if count == 1 else "s")
    if not text.startswith(lead):
        return False
    head, _, tail = text[len(lead):].partition("\u2026")
    return text[len(lead):] == path or (
        len(tail) > 8 and path.startswith(head) and path.endswith(tail))


def wait_status(run, condition, what, timeout=PROBE_INTERVAL_S):
    return wait_for(lambda: condition(status_text(run)) and status_text(run), timeout,
                    "the status line: " + what)


def photograph(run, name):
    """The window alone, as docs and reviews see it."""
    left, top, right, bottom = run.varnock.state()["rect"]
    os.makedirs(run.args.output, exist_ok=True)
    path = os.path.join(run.args.output, "status-%s.png" % name)
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (
        right - left, bottom - top, left, top), "+repage", path], check=True, timeout=30)
    print("picture %s: %dx%d pixels" % (path, right - left, bottom - top), flush=True)


def scenario_status(run):
    fldigi = run.start_fldigi("stand-in")
    run.start_varnock()
    text = wait_status(run, lambda t: t != "", "Kebrin absent")
    check(text == "Contacts wait: Kebrin is not running", "Kebrin absent: %r" % text)
    photograph(run, "host-absent")
    check(run.varnock.finish() == 0, "Finish ends the bridge")

    temp = os.path.dirname(fldigi.marker_path())
    os.makedirs(temp, exist_ok=True)
    unsaved = os.path.join(temp, UNSAVED)
    with open(unsaved, "w", encoding="utf-8") as left_over:
        left_over.write(HEADER + record("G4OLD", minutes_ago=90) + record("G4OLD", minutes_ago=80))
    run.start_kebrin()
    run.start_varnock()
    run.wait_connected()
    text = wait_status(run, lambda t: names_file(t, 2, unsaved_path(fldigi)), "2 contacts not saved")
    check(True, "started with the set-aside file present, the line names it: %r" % text)
    photograph(run, "not-saved")

    os.remove(unsaved)
    started = time.monotonic()
    # The line shortens the path in its middle: the file's name may not be in it whole.
    text = wait_status(run, lambda t: "not saved" not in t, "no set-aside file")
    check(text == "Waiting for contacts logged in fldigi",
          "the file deleted: the line clears within %.1f s (%r)" % (time.monotonic() - started,
                                                                  text))
    photograph(run, "waiting")

    replace_marker(fldigi, record("ST1NEW", "New"))
    text = wait_status(run, lambda t: t.startswith("Saved ST1NEW at "), "the saved contact")
    check(text.endswith(" UTC") and len(text) == len("Saved ST1NEW at 14:02 UTC"),
          "a contact saved: %r" % text)
    photograph(run, "saved")

    replace_marker(fldigi, record("G4STALE", minutes_ago=45))
    text = wait_status(run, lambda t: names_file(t, 1, unsaved_path(fldigi)), "1 contact not saved")
    check(True, "a record 45 minutes old set aside: %r" % text)
    caption = run.varnock.state()["caption"]
    check(caption == CONNECTED_CAPTION, "the caption stays %r (%r)" % (CONNECTED_CAPTION, caption))
    photograph(run, "stale")
    explorer_shows_file(run, unsaved_path(fldigi))


def explorer_shows_file(run, path):
    """A click on the line (STN_CLICKED, code 0 as a button's) starts Explorer with the file
    selected; the Explorer started is stopped again, by PID."""
    run.probe.press(run.varnock.hwnd, STATUS_LINE)

    def started():
        found = subprocess.run(["pgrep", "-af", "explorer.exe /select,"], stdout=subprocess.PIPE,
                               text=True).stdout.splitlines()
        return next((line for line in found if line.endswith(path)), None)
    line = wait_for(started, 10, "Explorer started for " + path)
    os.kill(int(line.split()[0]), signal.SIGTERM)
    check(True, "a click on the line starts %r" % line.split(None, 1)[1])
