"""One end-to-end scenario's processes and the checks the scenarios share."""

import os
import shutil
import tempfile

from e2e_support import (Failure, KebrinSim, Probe, RealFldigi, Stack, StandInFldigi, Varnock,
                         Wine, screenshot, wait_for)

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
STAND_IN = os.path.join(REPO, "tools", "fldigi-sim", "fldigi_sim.py")
MAIN_CAPTION = "Fldigi<->Kebrin by Zorvath"
CONNECTED_CAPTION = MAIN_CAPTION + " ---> Connected"
GREEN = (0, 255, 0)
COMMIT_MACROS = ["<FIXSTARTTIME>", "<SAVEQSO>", "<CURSOR:TX>"]
TICK = 1.0


def check(condition, text):
    if not condition:
        raise Failure(text)
    print("ok: " + text, flush=True)


class Run:
    """One scenario's processes and tools."""

    def __init__(self, args):
        self.args = args
        self.stack = Stack()
        self.wine = Wine(args.build_dir)
        self.probe = Probe(self.wine, args.probe)
        # A Linux folder: Varnock's current drive is then Z:, where fldigi's folder is.
        self.workdir = tempfile.mkdtemp(prefix="varnock-e2e.")
        self.kebrin = None
        self.varnock = None
        self.fldigi = None

    def start_fldigi(self, kind=None, **options):
        """`options` go to RealFldigi (its settings, folder and locale)."""
        kind = kind or self.args.fldigi
        if kind == "real":
            options.setdefault("root", getattr(self.args, "fldigi_root", None))
            self.fldigi = RealFldigi(self.stack, self.workdir, **options)
        else:
            self.fldigi = StandInFldigi(self.stack, self.workdir, STAND_IN)
        return self.fldigi

    def start_kebrin(self):
        self.kebrin = KebrinSim(self.stack, self.wine, self.args.kebrin_sim, self.workdir)
        return self.kebrin

    def start_varnock(self):
        self.varnock = Varnock(self.stack, self.wine, self.args.varnock, self.probe,
                               self.workdir)
        return self.varnock

    def calls(self):
        return self.kebrin.calls()

    def wait_calls(self, expected, since=0, timeout=6.0):
        """Waits until every (call, args) of `expected` is in the journal after `since`."""
        def arrived():
            got = self.calls()[since:]
            return all(e in got for e in expected)
        try:
            wait_for(arrived, timeout, "calls %r" % (expected,))
        except Failure:
            raise Failure("these calls did not reach the host: %r; journal since %d: %r" % (
                [e for e in expected if e not in self.calls()[since:]], since,
                self.calls()[since:]))

    def wait_connected(self, timeout=10.0):
        return wait_for(lambda: self._connected(self.varnock.state()), timeout,
                        "both indicators working and the caption \"---> Connected\"")

    @staticmethod
    def _connected(state):
        return (state.get("found") and state["caption"] == CONNECTED_CAPTION
                and state["fldigi"]["text"] == "Fldigi working"
                and state["host"]["text"] == "Kebrin working" and state)

    def save_screenshot(self, name):
        os.makedirs(self.args.output, exist_ok=True)
        return screenshot(os.path.join(self.args.output, name))

    def boxes_of_varnock(self):
        return self.varnock.boxes()

    def close(self):
        self.stack.close()
        if self.fldigi is not None and self.fldigi.name == "real":
            RealFldigi.remove_message_queue()
        marker_dir = self.fldigi and os.path.dirname(self.fldigi.marker_path())
        if marker_dir and os.path.isdir(marker_dir):
            os.chmod(marker_dir, 0o755)
        shutil.rmtree(self.workdir, ignore_errors=True)


def frequency_hz(run):
    """What the bridge must send for fldigi's current frequency text (kHz)."""
    return float(run.fldigi.rpc("log.get_frequency")) * 1000.0


def qso(index, text):
    return ("SetQsoField", [index, text])


def modem_calls(calls):
    return [c for c in calls if c[0] == "Mode" or (c[0] == "RunMacro" and "MODE" in c[1][0])]


def wait_host_error_box(run):
    """The error box a failed host call shows, checked for its title and a text."""
    box = wait_for(lambda: next(iter(run.boxes_of_varnock()), None), 5, "the error box")
    check(box["title"] == "Varnock" and any(box["texts"]),
          "the failed host call shows the error box (%r)" % box["texts"])
    return box


def wait_box(run, text, timeout=5.0, exclude=()):
    return wait_for(lambda: next((b for b in run.boxes_of_varnock()
                                  if text in b["texts"] and b["hwnd"] not in exclude), None),
                    timeout, "a message box \"%s\"" % text)
