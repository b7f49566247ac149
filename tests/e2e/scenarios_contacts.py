"""Contacts saved as the operator logged them, under settings real users have: fldigi's
"Clear on save", its folder under a Cyrillic folder name (a profile named Иван) and a
decimal-comma locale, all in one fldigi start."""

import os
import time

from e2e_run import TICK, check, qso
from e2e_support import Failure, wait_for

CLEAR_ON_SAVE = "<CLEARONSAVE>1</CLEARONSAVE>\n"
CONTACTS = [("DL%dABC" % i, "Op %d" % i, "QTH %d" % i) for i in range(1, 11)]
CONTACTS[3] = ("UA3DEF", "Jörg Иванов", "Санкт-Петербург")
CONTACTS[6] = ("F5XYZ", "Jean", "Köln <&> Bonn")
SAVE = ("RunMacro", ["<SAVEQSO>"])


def fields_at_saves(calls):
    """For each <SAVEQSO> in the journal, the host's call, name and QTH at that moment."""
    fields, found = {}, []
    for call, args in calls:
        if call == "SetQsoField":
            fields[args[0]] = args[1]
        elif (call, args) == SAVE:
            found.append((fields.get(0, ""), fields.get(1, ""), fields.get(3, "")))
    return found


def type_and_log(fldigi, contact, settle=True):
    """The operator fills call, name and QTH and logs at once, before any tick sees them.
    fldigi applies the setters and the macro in order on its own thread."""
    call, name, qth = contact
    fldigi.rpc("log.set_call", call)  # first: a new call clears the other fields
    fldigi.rpc("log.set_name", name)
    fldigi.rpc("log.set_qth", qth)
    fldigi.log_contact()
    if settle:
        wait_for(lambda: fldigi.rpc("log.get_call") == "", 2, "fldigi to clear on save")


def next_tick_ran(run):
    """Whether a tick ran after the last save: it sends fldigi's emptied call. The saving tick
    ended with "log.clear", which would empty a contact typed before it."""
    calls = run.calls()
    last_save = len(calls) - calls[::-1].index(SAVE)
    return qso(0, "") in calls[last_save:]


def tune(run, fldigi, rig_hz, since):
    """Tunes fldigi and waits until a tick has brought the frequency to the host."""
    try:
        fldigi.rpc("main.set_frequency", rig_hz)
    except ValueError:
        pass  # it answers the old frequency as <double>14070000,000000</double>
    run.wait_calls([("Frequency", [rig_hz + 1500.0])], since)


def check_frequencies(run, fldigi):
    check(fldigi.rpc("log.get_frequency") == "14071,500",
          "fldigi writes its frequency with a decimal comma (%r)"
          % fldigi.rpc("log.get_frequency"))
    run.wait_calls([("Frequency", [14071500.0])])
    check(True, "14071,500 kHz reached the host as 14071500.0 Hz")
    since = len(run.calls())
    tune(run, fldigi, 7035000.0, since)
    check(True, "after a change 7036,500 kHz reached the host as 7036500.0 Hz")


def check_saves(run, expected, since, what):
    wait_for(lambda: run.calls()[since:].count(SAVE) >= len(expected), 5 + len(expected),
             "%d saves" % len(expected))
    time.sleep(TICK * 1.5)  # nothing more may come
    got = fields_at_saves(run.calls()[since:])
    if got != expected:
        raise Failure("%s: the host's call, name and QTH at each save were %r, not %r"
                      % (what, got, expected))
    check(True, "%s: %d saves, each with its own contact's call, name and QTH"
          % (what, len(expected)))


def scenario_contacts_as_logged(run):
    fldigi = run.start_fldigi("real", extra_defs=CLEAR_ON_SAVE, folder="Иван",
                              locale="ru_RU.UTF-8")
    check("Иван" in fldigi.rpc("fldigi.config_dir"), "fldigi's folder is under Иван")
    run.start_kebrin()
    run.start_varnock()
    run.wait_connected()
    check_frequencies(run, fldigi)

    since = len(run.calls())
    for number, contact in enumerate(CONTACTS, 1):
        type_and_log(fldigi, contact)
        wait_for(lambda: run.calls()[since:].count(SAVE) >= number, 5,
                 "contact %d (%s) to be saved" % (number, contact[0]))
        wait_for(lambda: next_tick_ran(run), 3, "the tick after the save of %s" % contact[0])
    check_saves(run, CONTACTS, since, "ten contacts cleared on save")
    marker = fldigi.marker_path()
    wait_for(lambda: not os.path.exists(marker), 3, "the marker below Иван to be deleted")
    check(True, "the marker below Иван was deleted")

    # Two contacts 0.2 s apart, right after a tick: the next one finds both in the marker.
    since = len(run.calls())
    tune(run, fldigi, 7040000.0, since)
    pair = [("OK1AB", "Petr", "Praha"), ("SP2CD", "Łukasz", "Gdańsk")]
    type_and_log(fldigi, pair[0], settle=False)
    time.sleep(0.2)
    type_and_log(fldigi, pair[1])
    check_saves(run, pair, since, "two contacts logged 0.2 s apart")
    wait_for(lambda: not os.path.exists(marker), 3, "the marker to be deleted again")
