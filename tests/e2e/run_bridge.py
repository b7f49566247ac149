#!/usr/bin/env python3
"""Shows the bridge at work (scripts/run): Varnock.exe under Wine between fldigi and
kebrin-sim.exe while an operator types a few contacts into fldigi and logs them. Every call
that reaches the host is printed as it happens.

    run_bridge.py --build-dir B [--real-fldigi] [--screenshots DIR] [--seconds N]

fldigi is the stand-in tools/fldigi-sim with its built-in operator (--demo), or with
--real-fldigi Debian's fldigi, headless, with this script typing the same contacts over
XML-RPC. Runs until the operator is done (or N seconds, or Ctrl-C) and then stops every
process it started, by PID.
"""

import argparse
import json
import os
import signal
import sys
import threading
import time
import xmlrpc.client

from e2e_support import (Failure, KebrinSim, PortLock, Probe, RealFldigi, Stack, StandInFldigi,
                         Varnock, Wine, screenshot, wait_for, windows_path)

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
STAND_IN = os.path.join(REPO, "tools", "fldigi-sim", "fldigi_sim.py")
sys.path.insert(0, os.path.dirname(STAND_IN))
from fldigi_sim import DEMO_SCRIPT  # noqa: E402  (the operator both fldigis get)

FIELD_NAMES = {0: "call", 1: "name", 2: "RST rcvd", 3: "QTH", 4: "notes", 5: "RST sent",
               7: "state", 8: "province", 10: "locator"}


def describe(call, args):
    if call == "SetQsoField":
        return "SetQsoField %-9s = %s" % (FIELD_NAMES.get(args[0], str(args[0])),
                                         json.dumps(args[1], ensure_ascii=False))
    if call == "Frequency":
        return "Frequency   %.1f Hz" % args[0]
    if call == "RunMacro":
        return "RunMacro    %s" % args[0]
    if call == "Mode":
        return "Mode        %s" % json.dumps(args[0], ensure_ascii=False)
    return "%-11s %s" % (call, json.dumps(args, ensure_ascii=False))


def play_operator(fldigi, stop):
    """The demo's steps over XML-RPC, for real fldigi (which lacks a few setters)."""
    for step in DEMO_SCRIPT:
        if stop.is_set():
            return
        if "wait" in step:
            stop.wait(step["wait"])
        elif "wait_for_clear" in step:
            deadline = time.monotonic() + step["wait_for_clear"]
            while time.monotonic() < deadline and not stop.is_set():
                if fldigi.rpc("log.get_call") == "":
                    break
                stop.wait(0.2)
        else:
            try:
                fldigi.rpc(step["call"], *step.get("args", []))
            except xmlrpc.client.Fault:
                pass  # state, province and notes have no setter in fldigi itself


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--real-fldigi", action="store_true")
    parser.add_argument("--screenshots", help="folder for screenshots (when on Xvfb)")
    parser.add_argument("--seconds", type=float, default=90.0)
    args = parser.parse_args()
    build = os.path.abspath(args.build_dir)
    exes = {"varnock": os.path.join(build, "app", "Varnock.exe"),
            "kebrin": os.path.join(build, "tools", "kebrin-sim", "kebrin-sim.exe"),
            "probe": os.path.join(build, "tests", "e2e", "e2e_probe.exe")}
    # Ctrl-C and termination both end in the clean-up below.
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))

    lock = PortLock(timeout=120)
    stack = Stack()
    stop = threading.Event()
    workdir = os.path.join(build, "run-bridge")
    os.makedirs(workdir, exist_ok=True)
    log = os.path.join(workdir, "varnock.log")
    shots = []
    varnock = None

    def shoot(name):
        if args.screenshots:
            os.makedirs(args.screenshots, exist_ok=True)
            shots.append(screenshot(os.path.join(args.screenshots, name)))

    try:
        wine = Wine(build)
        fldigi = None
        if args.real_fldigi:
            print("run: starting fldigi (Debian's, headless)", flush=True)
            fldigi = RealFldigi(stack, workdir)
        print("run: starting kebrin-sim.exe and Varnock.exe under Wine", flush=True)
        kebrin = KebrinSim(stack, wine, exes["kebrin"], workdir)
        varnock = Varnock(stack, wine, exes["varnock"], Probe(wine, exes["probe"]), workdir,
                          ["--log", windows_path(log)])
        print("run: Varnock writes its diagnostic log to %s" % log, flush=True)
        if fldigi is None:
            print("run: starting the fldigi stand-in with its demo operator", flush=True)
            fldigi = StandInFldigi(stack, workdir, STAND_IN, demo=True)
        else:
            threading.Thread(target=play_operator, args=(fldigi, stop), daemon=True).start()
        wait_for(lambda: varnock.state().get("caption", "").endswith("---> Connected"), 15,
                 "Varnock to connect both sides")
        print("run: Varnock connected to fldigi and Kebrin; calls reaching the host:",
              flush=True)
        shoot("connected.png")

        expected_saves = sum(1 for s in DEMO_SCRIPT if s.get("args") == [17])
        shown, saves, deadline, done_at = 0, 0, time.monotonic() + args.seconds, None
        while time.monotonic() < deadline:
            calls = kebrin.calls()
            for call, call_args in calls[shown:]:
                print("  host <- " + describe(call, call_args), flush=True)
                if call == "RunMacro" and call_args[0] == "<SAVEQSO>":
                    saves += 1
                    shoot("saved-%d.png" % saves)
            shown = len(calls)
            if saves >= expected_saves and done_at is None:
                done_at = time.monotonic() + 2.5  # let the cleared fields arrive
            if done_at is not None and time.monotonic() >= done_at:
                break
            if varnock.process.poll() is not None:
                print("run: Varnock ended (exit code %d)" % varnock.process.returncode)
                break
            time.sleep(0.2)
        print("run: %d contact(s) saved in Kebrin" % saves, flush=True)
        shoot("end.png")
        return 0
    except KeyboardInterrupt:
        print("\nrun: interrupted", flush=True)
        return 130
    except Failure as failure:
        print("run: %s" % failure, file=sys.stderr)
        return 1
    finally:
        stop.set()
        if varnock is not None and varnock.process.poll() is None:
            try:  # Finish first, so that Varnock doesn't see fldigi go away
                varnock.finish()
            except Exception:  # noqa: BLE001 - stopped by PID below
                pass
        stack.close()
        if args.real_fldigi:
            RealFldigi.remove_message_queue()
        lock.release()
        if shots:
            print("run: screenshots in %s" % args.screenshots)
        if os.path.exists(log):
            print("run: Varnock's diagnostic log (appended on every run): %s" % log)


if __name__ == "__main__":
    sys.exit(main())
