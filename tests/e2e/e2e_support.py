"""Processes and probes for the end-to-end tests of Varnock.exe under Wine.

Everything started here is remembered by PID and stopped by PID (Stack.close). Python 3
standard library only; ImageMagick's import/convert for screenshots and pixels.
"""

import fcntl
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import xmlrpc.client

FLDIGI_PORT = 7362
RPC_TIMEOUT_S = 20  # a peer that stops answering fails the scenario instead of hanging it
# What glibc and libstdc++ print when a process dies of itself. Debian's fldigi 4.1.23 now and
# then does so while its sound start-up gives up on a JACK server that is not running ("free():
# double free detected", after "jack server is not running"), sometimes deadlocking in the
# abort with its XML-RPC port still accepting connections.
CRASH_MARKERS = (b"double free", b"corrupted", b"malloc(): ", b"free(): ",
                 b"terminate called", b"Segmentation fault")
PORT_LOCK = "/tmp/varnock-port7362.lock"
LOG_QSO_MACRO = 17
IN_ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support",
                       "fldigi-in-root")
IDOK, IDCANCEL = 1, 2


class Failure(Exception):
    """A check of a scenario failed."""


def wait_for(condition, timeout, what, interval=0.1):
    """Polls `condition` until it returns a true value (which is returned) or time runs out."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Failure("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def windows_path(path):
    """The Wine path of a Linux path (Wine maps Z: to /)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class PortLock:
    """Holds /tmp/varnock-port7362.lock: only one user of the fixed fldigi port at a time."""

    def __init__(self, timeout=600):
        self.file = open(PORT_LOCK, "a")
        wait_for(lambda: self._try(), timeout, "the port 7362 lock", interval=0.2)

    def _try(self):
        try:
            fcntl.flock(self.file, fcntl.LOCK_EX | fcntl.LOCK_NB)
            return True
        except BlockingIOError:
            return False

    def release(self):
        fcntl.flock(self.file, fcntl.LOCK_UN)
        self.file.close()


class Stack:
    """Every process a scenario started, stopped in reverse order by PID."""

    def __init__(self):
        self.processes = []  # (name, Popen, stop function or None)

    def start(self, name, argv, stop=None, **popen_args):
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, **popen_args)
        self.processes.append((name, process, stop))
        return process

    def close(self):
        for name, process, stop in reversed(self.processes):
            if process.poll() is not None:
                continue
            if stop is not None:
                try:
                    stop()
                    process.wait(timeout=5)
                    continue
                except Exception:  # noqa: BLE001 - fall back to signals below
                    pass
            for sig, grace in ((signal.SIGTERM, 5), (signal.SIGKILL, 5)):
                try:
                    os.kill(process.pid, sig)
                    process.wait(timeout=grace)
                    break
                except ProcessLookupError:
                    break
                except subprocess.TimeoutExpired:
                    continue
        self.processes.clear()


class Wine:
    """Runs the Windows executables of one build under Wine, in that build's prefix."""

    def __init__(self, build_dir):
        self.env = dict(os.environ)
        self.env.setdefault("WINEPREFIX", os.environ.get("VARNOCK_WINEPREFIX")
                            or os.path.join(build_dir, "wineprefix"))
        self.env.setdefault("WINEDEBUG", "-all")
        self.env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
        self.env["LC_ALL"] = "ru_RU.UTF-8"  # ANSI code page 1251
        self.wine = shutil.which("wine") or "wine"

    def argv(self, exe, *args):
        return [self.wine, exe, *args]

    def run(self, exe, *args, timeout=30):
        # Output through a file, not a pipe: Wine's own background processes (services,
        # explorer), when this is the first Wine process, inherit the output handles and keep
        # a pipe open long after the program ended.
        with tempfile.TemporaryFile() as out:
            code = subprocess.run(self.argv(exe, *args), env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=subprocess.DEVNULL,
                                  timeout=timeout).returncode
            out.seek(0)
            return code, out.read().decode("utf-8", "replace")


class Probe:
    """e2e_probe.exe: Varnock's window and the message boxes, seen from outside."""

    def __init__(self, wine, exe):
        self.wine, self.exe = wine, exe

    READ_ONLY = ("state", "states", "boxes")

    def _lines(self, *args):
        code, out = self.wine.run(self.exe, *args)
        if code != 0 and args[0] in self.READ_ONLY:
            # A look that Wine failed to start (seen once in a loaded run) is looked again;
            # a second failure is the test's.
            print("e2e_probe %s: exit code %d, looking again" % (args[0], code), flush=True)
            code, out = self.wine.run(self.exe, *args)
        if code != 0:
            raise Failure("e2e_probe %s failed with exit code %d (%r)" % (" ".join(args), code,
                                                                          out[-200:]))
        return [json.loads(line) for line in out.splitlines() if line.strip()]

    def state(self):
        return self._lines("state")[0]

    def boxes(self):
        return self._lines("boxes")

    def press(self, hwnd, control_id):
        self._lines("press", str(hwnd), str(control_id))


class KebrinSim:
    """kebrin-sim.exe with a journal of the calls it received."""

    def __init__(self, stack, wine, exe, workdir, name="kebrin-sim"):
        self.journal_path = os.path.join(workdir, name + "-journal.jsonl")
        self.control_path = os.path.join(workdir, name + "-control.txt")
        ready = os.path.join(workdir, name + "-ready.txt")
        for path in (self.journal_path, ready):
            if os.path.exists(path):
                os.remove(path)
        with open(self.control_path, "w") as control:
            control.write("ok\n")
        self.process = stack.start(
            name, wine.argv(exe, "--journal", windows_path(self.journal_path),
                            "--ready-file", windows_path(ready),
                            "--control", windows_path(self.control_path)),
            stop=self.quit, env=wine.env, cwd=workdir,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(ready) or self.process.poll() is not None, 30,
                 "kebrin-sim to register its object")
        if self.process.poll() is not None:
            raise Failure("kebrin-sim exited with code %d at start" % self.process.returncode)

    def quit(self):
        with open(self.control_path, "w") as control:
            control.write("quit\n")
        self.process.wait(timeout=10)

    def calls(self):
        """The journal: [(call, args), ...] in order."""
        if not os.path.exists(self.journal_path):
            return []
        with open(self.journal_path, "rb") as journal:
            lines = journal.read().decode("utf-8").split("\n")
        return [(e["call"], e["args"]) for e in (json.loads(l) for l in lines[:-1] if l)]


class Varnock:
    """Varnock.exe, started from a Linux folder so that paths without a drive land on Z:."""

    def __init__(self, stack, wine, exe, probe, workdir, args=()):
        self.probe = probe
        self.process = stack.start("Varnock", wine.argv(exe, *args), stop=self.finish,
                                   env=wine.env, cwd=workdir, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        state = wait_for(lambda: self.probe.state().get("hwnd") and self.probe.state(), 30,
                         "Varnock's window")
        self.hwnd, self.pid = state["hwnd"], state["pid"]

    def state(self):
        return self.probe.state()

    def finish(self):
        """Presses "Finish" and waits for the process to end; its exit code."""
        self.probe.press(self.hwnd, IDOK)
        return self.process.wait(timeout=10)

    def boxes(self):
        """The message boxes of this process."""
        return [b for b in self.probe.boxes() if b["pid"] == self.pid]


class TimeoutTransport(xmlrpc.client.Transport):
    def make_connection(self, host):
        connection = super().make_connection(host)
        connection.timeout = RPC_TIMEOUT_S
        return connection


class Fldigi:
    """What a test does with fldigi, real or stand-in: its setters and getters over XML-RPC."""

    port = FLDIGI_PORT
    config_dir = None
    process = None

    @property
    def url(self):
        return "http://127.0.0.1:%d/RPC2" % self.port

    def rpc(self, method, *params):
        proxy = xmlrpc.client.ServerProxy(self.url, transport=TimeoutTransport())
        try:
            return getattr(proxy, method)(*params)
        except TimeoutError:
            raise Failure("fldigi did not answer %s within %d s" % (method, RPC_TIMEOUT_S))
        finally:
            proxy("close")()

    def crash(self):
        """The line in which the peer reported its own crash, or None."""
        return None

    def answers(self):
        try:
            return self.rpc("fldigi.config_dir") == self.config_dir
        except (OSError, xmlrpc.client.Error):
            return False

    def marker_path(self):
        return os.path.join(self.config_dir, "temp", "log.adif")

    def log_contact(self):
        self.rpc("main.run_macro", LOG_QSO_MACRO)

    def kill(self):
        self.process.kill()
        self.process.wait(timeout=10)


class RealFldigi(Fldigi):
    """Debian's fldigi, headless on its own Xvfb, with a pre-seeded configuration: this
    machine's (4.1.23), or the one in `root` (tests/support/fldigi-in-root)."""

    name = "real"

    def __init__(self, stack, workdir, extra_defs="", folder=None, locale=None, root=None):
        """`extra_defs`: more settings lines for fldigi_def.xml; `folder`: a folder of
        `workdir` (any name, created) to hold fldigi's own; `locale`: fldigi's LC_ALL; `root`:
        a root folder with another fldigi (`workdir` must then be under /tmp)."""
        parent = os.path.join(workdir, folder) if folder else workdir
        os.makedirs(parent, exist_ok=True)
        run_dir = tempfile.mkdtemp(prefix="fldigi.", dir=parent)
        self.config_dir = os.path.join(run_dir, "cfg", "")
        home = os.path.join(run_dir, "home")
        os.makedirs(self.config_dir)
        os.makedirs(home)
        with open(os.path.join(self.config_dir, "fldigi_def.xml"), "w") as defs:
            # Present, so no first-run wizard (which would keep the XML-RPC server off).
            defs.write("<FLDIGI_DEFS>\n<AUDIOIO>3</AUDIOIO>\n<CONFIRMEXIT>0</CONFIRMEXIT>\n"
                       "<NAGME>0</NAGME>\n<SAVECONFIG>0</SAVECONFIG>\n<SAVEMACROS>0</SAVEMACROS>\n"
                       "<CHECK_FOR_UPDATES>0</CHECK_FOR_UPDATES>\n<XML_LOGBOOK>0</XML_LOGBOOK>\n"
                       "<MYCALL>N0CALL</MYCALL>\n<XMLRPC_PORT>%d</XMLRPC_PORT>\n"
                       "<ARQ_PORT>7322</ARQ_PORT>\n%s</FLDIGI_DEFS>\n" % (FLDIGI_PORT, extra_defs))
        display = self._xvfb(stack, run_dir)
        env = dict(os.environ, DISPLAY=display, HOME=home)
        if locale:
            env.update(LC_ALL=locale, LANG=locale)
        self.log_path = os.path.join(run_dir, "fldigi.log")
        program = [IN_ROOT, root] if root else ["fldigi"]
        with open(self.log_path, "wb") as log:
            self.process = stack.start(
                "fldigi", program + ["--config-dir", self.config_dir, "--home-dir", home + "/",
                                     "--xmlrpc-server-port", str(FLDIGI_PORT),
                                     "--arq-server-port", "7322"],
                env=env, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        wait_for(lambda: self.answers() or self.process.poll() is not None, 30,
                 "fldigi's XML-RPC server")
        if self.process.poll() is not None:
            with open(self.log_path, "rb") as log:
                said = log.read().decode("utf-8", "replace").strip()[-300:]
            raise Failure("fldigi exited at start (see %s/fldigi.log): %s" % (run_dir, said))
        self.version = self.rpc("fldigi.version")
        print("fldigi %s%s is up" % (self.version, " (from %s)" % root if root else ""),
              flush=True)

    def crash(self):
        try:
            with open(self.log_path, "rb") as log:
                lines = log.read().splitlines()
        except OSError:
            return None
        return next((l.decode("utf-8", "replace") for l in lines
                     if any(m in l for m in CRASH_MARKERS)), None)

    @staticmethod
    def _xvfb(stack, run_dir):
        read_end, write_end = os.pipe()
        stack.start("Xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                             "1024x768x24", "-nolisten", "tcp", "-noreset"],
                    pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise Failure("Xvfb for fldigi did not start")
        return ":" + number

    @staticmethod
    def remove_message_queue():
        # fldigi posts each logged contact to a SysV queue (key 0x4d6) that nobody reads.
        subprocess.run(["ipcrm", "-Q", "0x4d6"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)


class StandInFldigi(Fldigi):
    """tools/fldigi-sim: answers like fldigi and keeps a log of every request it got."""

    name = "stand-in"

    def __init__(self, stack, workdir, script, demo=False, port=FLDIGI_PORT, config_dir=None):
        self.port = port
        self.config_dir = os.path.join(
            config_dir or tempfile.mkdtemp(prefix="fldigi-sim.", dir=workdir), "")
        self.requests_path = os.path.join(workdir, "fldigi-requests-%d.jsonl" % port)
        ready = os.path.join(workdir, "fldigi-sim-ready-%d" % port)
        for path in (ready, self.requests_path):
            if os.path.exists(path):
                os.remove(path)
        self.process = stack.start(
            "fldigi-sim", [sys.executable, script, "--port", str(port),
                           "--config-dir", self.config_dir, "--ready-file", ready,
                           "--journal", self.requests_path] + (["--demo"] if demo else []),
            stdout=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(ready) or self.process.poll() is not None, 15,
                 "the fldigi stand-in")
        if self.process.poll() is not None:
            raise Failure("the fldigi stand-in exited at start")

    def requests(self):
        """Methods received so far, in order."""
        with open(self.requests_path, encoding="utf-8") as log:
            return [json.loads(line)["method"] for line in log if line.endswith("\n")]


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=True, timeout=30)
    return path


def pixel(png, x, y):
    """(red, green, blue) of one pixel of a screenshot."""
    raw = subprocess.run(["convert", png, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8",
                          "rgb:-"], check=True, stdout=subprocess.PIPE, timeout=30).stdout
    return tuple(raw[:3])
