"""Every contact logged in fldigi saved exactly once, counted in the host's journal: a marker
that another program holds across restarts of the bridge, one locked for a few seconds, one
replaced by another file, a record without a call, a contact saved after the radio moved, a
kill of the bridge in the middle of its saves, and a marker of thousands of old records. One
real fldigi start serves them all."""

import glob
import os
import signal
import subprocess
import tempfile
import time

from e2e_run import CONNECTED_CAPTION, TICK, check
from e2e_support import Failure, Varnock, wait_for, windows_path

SAVE = ("RunMacro", ["<SAVEQSO>"])


class Holder:
    """Another program holding a file open (e2e_probe hold), until release()."""

    def __init__(self, run, path, share):
        self.out = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            run.wine.argv(run.args.probe, "hold", "Z:" + path.replace("/", "\\"), share),
            env=run.wine.env, stdin=subprocess.PIPE, stdout=self.out,
            stderr=subprocess.DEVNULL)
        run.stack.processes.append(("hold " + share, self.process, self.release))

        def held():
            self.out.seek(0)
            text = self.out.read().decode()
            if "not held" in text or self.process.poll() is not None:
                raise Failure("e2e_probe could not hold %s: %r" % (path, text))
            return "held" in text
        wait_for(held, 20, "e2e_probe to hold " + path)

    def release(self):
        if self.process.poll() is None:
            self.process.stdin.close()
            self.process.wait(timeout=10)


def record(call, name="", minutes_ago=0.0, freq="14.071500"):
    """One record as fldigi writes it, logged `minutes_ago` before now (UTC)."""
    t = time.gmtime(time.time() - minutes_ago * 60)
    date, hhmm = time.strftime("%Y%m%d", t), time.strftime("%H%M", t)
    fields = [("QSO_DATE", date), ("TIME_ON", hhmm), ("QSO_DATE_OFF", date), ("TIME_OFF", hhmm),
              ("CALL", call), ("FREQ", freq), ("MODE", "PSK"), ("NAME", name)]
    return "".join("<%s:%d>%s" % (k, len(v.encode()), v) for k, v in fields) + "<EOR>\n"


def replace_marker(fldigi, text):
    """Another file takes the marker's place at once, as a restore or a sync tool does."""
    marker = fldigi.marker_path()
    with open(marker + ".new", "w") as new:
        new.write(text)
    os.replace(marker + ".new", marker)


def saves_of(calls):
    """(call, name, frequency) that the host's form held at each <SAVEQSO>."""
    fields, freq, found = {}, None, []
    for call, args in calls:
        if call == "SetQsoField":
            fields[args[0]] = args[1]
        elif call == "Frequency":
            freq = args[0]
        elif (call, args) == SAVE:
            found.append((fields.get(0, ""), fields.get(1, ""), freq))
    return found


class Counter:
    """The saves in the host's journal, across restarts of kebrin-sim."""

    def __init__(self, run):
        self.run, self.before = run, []

    def all(self):
        return self.before + saves_of(self.run.calls())

    def calls(self):
        return [s[0] for s in self.all()]

    def wait(self, count, timeout=8):
        wait_for(lambda: len(self.all()) >= count, timeout, "%d saves" % count)
        time.sleep(TICK * 1.5)  # nothing more may come
        got = len(self.all())
        if got != count:
            raise Failure("%d saves, not %d: %r" % (got, count, self.calls()))

    def new_kebrin(self):
        self.before = self.all()
        return self.run.start_kebrin()


def log_in_fldigi(fldigi, call, name):
    fldigi.rpc("log.set_call", call)
    fldigi.rpc("log.set_name", name)
    time.sleep(0.05)
    fldigi.log_contact()


def start_bridge(run):
    """Varnock with its diagnostic log (one file for every start)."""
    run.varnock = Varnock(run.stack, run.wine, run.args.varnock, run.probe, run.workdir,
                          ("--log", windows_path(log_path(run))))
    return run.varnock


def log_path(run):
    return os.path.join(run.workdir, "varnock.log")


def logged(run, text):
    """Whether a line of the bridge's log holds `text`."""
    with open(log_path(run), encoding="utf-8") as log:
        return any(text in line for line in log)


def restart_bridge(run):
    check(run.varnock.finish() == 0, "Finish ends the bridge")
    run.start_varnock()
    run.wait_connected()


def held_marker_across_restarts(run, fldigi, saves):
    marker = fldigi.marker_path()
    log_in_fldigi(fldigi, "HL1AA", "Held one")
    wait_for(lambda: os.path.exists(marker), 5, "fldigi to write its marker")
    holder = Holder(run, marker, "no-delete")
    run.start_varnock()
    run.wait_connected()
    saves.wait(1)
    check(logged(run, "log.adif cannot be taken over ("),
          "the held marker cannot be taken over: it is read where it is")
    log_in_fldigi(fldigi, "HL2BB", "Held two")
    saves.wait(2)
    restart_bridge(run)
    time.sleep(TICK * 2)
    saves.wait(2)
    log_in_fldigi(fldigi, "HL3CC", "Held three")
    saves.wait(3)
    restart_bridge(run)
    holder.release()
    time.sleep(TICK * 2.5)
    saves.wait(3)
    check(saves.calls() == ["HL1AA", "HL2BB", "HL3CC"],
          "a marker held by another program, two restarts: 3 contacts, 3 saves (%r)"
          % saves.calls())
    check(not os.path.exists(marker), "once released the marker is taken over and deleted")


def locked_marker(run, fldigi, saves):
    marker = fldigi.marker_path()
    holder = Holder(run, marker, "none")
    log_in_fldigi(fldigi, "LK1DD", "Locked")
    fldigi.rpc("log.set_call", "NX1EE")  # the operator types the next contact
    fldigi.rpc("log.set_name", "Next")
    time.sleep(3)
    saves.wait(3)
    check(logged(run, "log.adif cannot be read ("), "the locked marker cannot be read: logged")
    holder.release()
    saves.wait(4)
    check(saves.all()[-1][:2] == ("LK1DD", "Locked"),
          "a marker locked for 3 s: saved once unlocked, with its own fields (%r)"
          % (saves.all()[-1],))


def replaced_marker(run, fldigi, saves):
    replace_marker(fldigi, record("RP1AA", "One") + record("RP2BB", "Two") +
                   record("RP3CC", "Three"))
    saves.wait(7)
    check([s[:2] for s in saves.all()[-3:]] ==
          [("RP1AA", "One"), ("RP2BB", "Two"), ("RP3CC", "Three")],
          "a replaced marker: each of its 3 records saved with its own fields")
    replace_marker(fldigi, record("NC1AA", "Before") + record("", "Nobody") +
                   record("NC2BB", "After"))
    saves.wait(9)
    check([s[:2] for s in saves.all()[-2:]] == [("NC1AA", "Before"), ("NC2BB", "After")],
          "a record without a call between two good ones: two saves, each its own")


def radio_moved(run, fldigi, saves):
    check(run.varnock.finish() == 0, "Finish ends the bridge")
    run.kebrin.quit()
    fldigi.rpc("main.set_frequency", 14070000.0)
    log_in_fldigi(fldigi, "MV1FF", "Moved")
    fldigi.rpc("main.set_frequency", 7035000.0)
    saves.new_kebrin()
    run.start_varnock()
    run.wait_connected()
    saves.wait(10)
    check(saves.all()[-1] == ("MV1FF", "Moved", 14071500.0),
          "logged on 20 m, saved after the radio moved to 40 m: its own frequency (%r)"
          % (saves.all()[-1],))
    run.wait_calls([("Frequency", [7036500.0])])
    check(True, "the radio's frequency follows on the next tick")


def killed_while_saving(run, fldigi, saves):
    calls = ["KL%dAA" % i for i in range(1, 7)]
    before = len(saves.all())
    replace_marker(fldigi, "".join(record(c, "Kill") for c in calls))
    wait_for(lambda: len(saves.all()) > before, 5, "the first of the six saves", interval=0.005)
    os.kill(run.varnock.process.pid, signal.SIGKILL)
    run.varnock.process.wait(timeout=10)
    cut = len(saves.all()) - before
    run.start_varnock()
    wait_for(lambda: set(calls) <= set(saves.calls()[before:]), 10, "all six contacts")
    time.sleep(TICK * 1.5)
    got = saves.calls()[before:]
    check(sorted(set(got)) == calls and len(got) <= len(calls) + 1,
          "killed after %d of 6 saves, then restarted: none lost, %d saved twice (%r)"
          % (cut, len(got) - len(calls), got))


def stale_backlog(run, fldigi, saves):
    temp = os.path.dirname(fldigi.marker_path())
    old = record("G4OLD", "Last year", minutes_ago=365 * 24 * 60)
    before = len(saves.all())
    started = time.monotonic()
    replace_marker(fldigi, old * 3000 + record("ST1GG", "New"))
    slowest = 0.0
    while len(saves.all()) == before and time.monotonic() - started < 15:
        asked = time.monotonic()
        run.varnock.state()
        slowest = max(slowest, time.monotonic() - asked)
    took = time.monotonic() - started
    saves.wait(before + 1)
    check(saves.all()[-1][:2] == ("ST1GG", "New"),
          "3000 records a year old and one new: one save, the new one, %.1f s after the file "
          "appeared; the window answered within %.2f s throughout" % (took, slowest))
    with open(os.path.join(temp, "unsaved-contacts.adi"), encoding="utf-8") as unsaved:
        text = unsaved.read()
    check(text.count("<CALL:5>G4OLD") == 3000 and text.count("<EOH>") == 1,
          "the 3000 old records are in unsaved-contacts.adi, after one header")
    check(run.varnock.state()["caption"] == CONNECTED_CAPTION,
          "the caption keeps its own text (%r)" % run.varnock.state()["caption"])
    check(logged(run, "3000 records not saved in the host (3000 older than 30 minutes, 0 no "
                      "contact or damaged) added to "), "the log says how many and where")


def scenario_ledger(run):
    fldigi = run.start_fldigi("real")
    run.start_kebrin()
    run.start_varnock = lambda: start_bridge(run)
    saves = Counter(run)
    try:
        held_marker_across_restarts(run, fldigi, saves)
        locked_marker(run, fldigi, saves)
        replaced_marker(run, fldigi, saves)
        radio_moved(run, fldigi, saves)
        killed_while_saving(run, fldigi, saves)
        stale_backlog(run, fldigi, saves)
    finally:
        temp = os.path.dirname(fldigi.marker_path())
        print("files left in fldigi's temp folder: %r"
              % sorted(os.path.basename(p) for p in glob.glob(os.path.join(temp, "*"))))
