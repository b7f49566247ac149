#!/usr/bin/env python3
"""End-to-end scenarios of the bridge: Varnock.exe under Wine between fldigi (Debian's real
fldigi or the stand-in tools/fldigi-sim) and kebrin-sim.exe, checked through kebrin-sim's
journal, the stand-in's request log, fldigi's own getters, Varnock's window (e2e_probe.exe)
and screenshots.

    bridge_e2e.py --build-dir B --varnock EXE --kebrin-sim EXE --probe EXE \
                  --fldigi real|stand-in [--fldigi-4.2] --output DIR SCENARIO

Real fldigi is this machine's (Debian 12: 4.1.23), or with --fldigi-4.2 Debian testing's in a root
of its own (scripts/fldigi-4.2-root makes it, or waits while another run makes it, before the
port lock is taken). Each run says which fldigi version it used.

Needs an X display with a Wine session (scripts/with-wine-session); without DISPLAY it runs
itself under one. Holds /tmp/varnock-port7362.lock while it runs. Exit code 0 when every check
passed, 1 on a failed check, 2 on a usage error.
"""

import argparse
import os
import subprocess
import sys
import time

import scenarios_bridge as bridge
import scenarios_contacts as contacts
import scenarios_failures as failures
import scenarios_ledger as ledger
import scenarios_status as status
from e2e_run import REPO, Run
from e2e_support import Failure, PortLock
# Scripts that add scenarios to these take the shared pieces from here.
from e2e_run import COMMIT_MACROS, STAND_IN, TICK, check, qso, wait_box  # noqa: F401
from scenarios_bridge import scenario_happy  # noqa: F401

SCENARIOS = {
    "happy": bridge.scenario_happy,
    "nothing-lost": bridge.scenario_nothing_lost,
    "texts": bridge.scenario_texts,
    "contacts-as-logged": contacts.scenario_contacts_as_logged,
    "fldigi-absent": failures.scenario_fldigi_absent,
    "host-late": failures.scenario_host_late,
    "fldigi-killed": failures.scenario_fldigi_killed,
    "host-quits": failures.scenario_host_quits,
    "host-busy": failures.scenario_host_busy,
    "marker-undeletable": failures.scenario_marker_undeletable,
    "ledger": ledger.scenario_ledger,
    "status": status.scenario_status,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--varnock", required=True)
    parser.add_argument("--kebrin-sim", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--fldigi", choices=("real", "stand-in"), default="stand-in")
    parser.add_argument("--fldigi-4.2", dest="fldigi_42", action="store_true",
                        help="real fldigi is Debian testing's, from a root of its own")
    parser.add_argument("--output", required=True, help="folder for screenshots")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    for name in ("build_dir", "varnock", "kebrin_sim", "probe", "output"):
        setattr(args, name, os.path.abspath(getattr(args, name)))

    if not os.environ.get("DISPLAY"):
        session = os.path.join(REPO, "scripts", "with-wine-session")
        os.execv(session, [session, args.build_dir, sys.executable, *sys.argv])

    started = time.monotonic()
    args.fldigi_root = None
    if args.fldigi_42:
        made = subprocess.run([os.path.join(REPO, "scripts", "fldigi-4.2-root")],
                              stdout=subprocess.PIPE, text=True)
        if made.returncode != 0:
            print("FAILED %s: no fldigi 4.2 on this machine (above)" % args.scenario)
            return 1
        args.fldigi_root = made.stdout.strip()
        print("the fldigi 4.2 root %s was ready after %.1f s"
              % (args.fldigi_root, time.monotonic() - started), flush=True)
    lock = PortLock()
    try:
        # A scenario runs once more, with a new fldigi, only when real fldigi itself crashed.
        for attempt in (1, 2):
            code, peer_crash = run_scenario(args, started)
            if code == 0 or peer_crash is None or attempt == 2:
                return code
            print("fldigi itself crashed (%r): the scenario runs again with a new fldigi"
                  % peer_crash, flush=True)
    finally:
        lock.release()


def run_scenario(args, started):
    """(exit code, the peer's crash report or None)."""
    run = Run(args)
    try:
        SCENARIOS[args.scenario](run)
        print("PASSED %s (%s) in %.1f s" % (args.scenario, describe_fldigi(run),
                                             time.monotonic() - started))
        return 0, None
    except Failure as failure:
        if run.varnock is not None:
            try:
                run.save_screenshot("failed-%s-%s.png" % (args.scenario, args.fldigi))
            except Exception:  # noqa: BLE001 - the failure matters more than the picture
                pass
        print("FAILED %s (%s): %s" % (args.scenario, describe_fldigi(run), failure))
        if run.fldigi is not None and hasattr(run.fldigi, "requests"):
            try:
                print("the stand-in's last requests: %r" % run.fldigi.requests()[-15:])
            except OSError:
                pass
        return 1, run.fldigi.crash() if run.fldigi is not None else None
    finally:
        run.close()


def describe_fldigi(run):
    """Which fldigi the run used: "stand-in fldigi", "real fldigi 4.1.23", ..."""
    version = getattr(run.fldigi, "version", None)
    return "%s fldigi%s" % (run.args.fldigi, " " + version if version else "")


if __name__ == "__main__":
    sys.exit(main())
