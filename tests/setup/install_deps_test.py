#!/usr/bin/env python3
"""scripts/install-deps against stand-ins for apt-get, apt-cache, dpkg, dpkg-query and the
other system commands it calls (first on PATH), in a copy of the scripts folder with a stand-in
kernel probe: which apt-get calls it makes, its exit status and its last message, for a failed
`apt-get update`, packages that cannot be installed and a kernel without 32-bit programs.
Nothing on this machine is installed or removed.

    install_deps_test.py REPO
"""

import os
import shutil
import stat
import subprocess
import sys
import tempfile

# The stand-ins' state lives in files of the case's folder ($STATE): `installed` (one package a
# line), `unoffered` (no index offers them), `fail-update`, `fail-install` (apt-get install
# fails when one of these is asked for, installing nothing), and `calls`, where apt-get
# records each call.
STAND_INS = {
    "apt-get": r'''
args=() verb=
for a in "$@"; do
    case $a in -o | -y | -qq) ;; -*) ;; *=*) ;; update | install) verb=$a ;; *) args+=("$a") ;; esac
done
echo "$verb${args[*]:+ ${args[*]}}" >>"$STATE/calls"
[ "$verb" = update ] && exec test ! -e "$STATE/fail-update"
for p in "${args[@]}"; do
    if grep -qx "$p" "$STATE/fail-install" "$STATE/unoffered" 2>/dev/null; then
        echo "E: $p" >&2
        exit 100
    fi
done
printf '%s\n' "${args[@]}" >>"$STATE/installed"''',
    "dpkg-query": r'''
grep -qx "${!#}" "$STATE/installed" && printf 'install ok installed' ''',
    "apt-cache": r'''
candidate=1.0
grep -qx "$2" "$STATE/unoffered" 2>/dev/null && candidate="(none)"
echo "  Candidate: $candidate"''',
    "dpkg": r'''[ "$1" = --print-foreign-architectures ] && echo i386; exit 0''',
    "debconf-set-selections": "cat >/dev/null",
    "locale": "printf 'C\\nru_RU.utf8\\nde_DE.utf8\\n'",
    "locale-gen": "exit 1",
    "sudo": 'exec "$@"',
}

SIXTY_FOUR_BIT = ["fldigi", "debootstrap"]  # missing in most cases; the rest is installed
UPDATE = "update "
INSTALL = "install "
WARNING = "install-deps: warning: apt-get update failed"

# (name, kernel runs 32-bit, missing, unoffered, fail-install, update fails,
#  expected apt-get calls, expected exit status, text of the last message)
CASES = [
    ("update fails: the missing packages are installed all the same", True,
     SIXTY_FOUR_BIT + ["wine32:i386"], [], [], True,
     [UPDATE, INSTALL + "fldigi debootstrap", INSTALL + "wine32:i386"], 0, WARNING),
    ("wine32 cannot be installed: the x86-64 Windows build is tested", True,
     SIXTY_FOUR_BIT + ["wine32:i386"], [], ["wine32:i386"], True,
     [UPDATE, INSTALL + "fldigi debootstrap", INSTALL + "wine32:i386"], 0,
     "install-deps: cannot install wine32:i386 (Wine's 32-bit side): the Windows tests run on "
     "the x86-64 build"),
    ("a needed package no index offers: named, and the end", True,
     SIXTY_FOUR_BIT + ["wine32:i386"], ["debootstrap"], [], True,
     [UPDATE, INSTALL + "fldigi debootstrap"], 1,
     "install-deps: cannot install debootstrap, which the builds and tests need: no package "
     "index offers it"),
    ("a needed package fails to install: named, and the end", True, ["pandoc"], [], ["pandoc"],
     False, [UPDATE, INSTALL + "pandoc"], 1,
     "install-deps: cannot install pandoc, which the builds and tests need (apt-get's messages "
     "above)"),
    ("kernel without 32-bit programs: no wine32", False, SIXTY_FOUR_BIT, [], [], False,
     [UPDATE, INSTALL + "fldigi debootstrap"], 0, "install-deps: installing fldigi debootstrap"),
    ("everything there: apt-get is not called", True, [], [], [], True, [], 0, None),
]


def packages_of(script):
    """The packages install-deps asks for, from its own list."""
    text = open(script).read()
    block = text[text.index("packages=(") + len("packages=("):]
    return block[:block.index(")")].split() + ["wine32:i386"]


def write_script(path, body):
    with open(path, "w") as out:
        out.write("#!/bin/bash\n" + body.strip() + "\n")
    os.chmod(path, stat.S_IRWXU)


def run_case(repo, folder, case):
    _, runs_32_bit, missing, unoffered, fail_install, fail_update, _, _, _ = case
    scripts, stand_ins, state = (os.path.join(folder, d) for d in ("repo/scripts", "bin", "state"))
    for d in (scripts, stand_ins, state):
        os.makedirs(d)
    shutil.copy(os.path.join(repo, "scripts", "install-deps"), scripts)
    write_script(os.path.join(scripts, "kernel-runs-32-bit"), "exit %d" % (not runs_32_bit))
    for name, body in STAND_INS.items():
        write_script(os.path.join(stand_ins, name), body)
    everything = packages_of(os.path.join(scripts, "install-deps"))
    for name, lines in (("installed", [p for p in everything if p not in missing]),
                        ("unoffered", unoffered), ("fail-install", fail_install)):
        with open(os.path.join(state, name), "w") as out:
            out.write("".join(p + "\n" for p in lines))
    if fail_update:
        open(os.path.join(state, "fail-update"), "w").close()
    env = dict(os.environ, PATH=stand_ins + os.pathsep + os.environ["PATH"], STATE=state)
    result = subprocess.run([os.path.join(scripts, "install-deps")], env=env, timeout=60,
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)
    calls_path = os.path.join(state, "calls")
    calls = open(calls_path).read().splitlines() if os.path.exists(calls_path) else []
    return calls, result.returncode, result.stderr


def main():
    repo = os.path.abspath(sys.argv[1])
    failures = 0
    for case in CASES:
        name, expected_calls, expected_code, message = case[0], case[6], case[7], case[8]
        with tempfile.TemporaryDirectory(prefix="install-deps-test.") as folder:
            calls, code, stderr = run_case(repo, folder, case)
        lines = stderr.strip().splitlines()
        got_message = message is None and not lines or message is not None and any(
            line.startswith(message) for line in (lines if code == 0 else lines[-1:]))
        expected_calls = [c.strip() for c in expected_calls]
        ok = calls == expected_calls and code == expected_code and got_message
        failures += not ok
        print("%s: %s" % ("ok" if ok else "FAILED", name), flush=True)
        if not ok:
            print("  apt-get calls %r, expected %r\n  exit status %d, expected %d\n"
                  "  its messages:\n%s" % (calls, expected_calls, code, expected_code, stderr),
                  flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
