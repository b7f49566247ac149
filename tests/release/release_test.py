#!/usr/bin/env python3
"""Tests of the release tools against the Windows build's own executables:

    release_test.py --machine i686|x86_64 EXE...

- the zip writer: same bytes whatever the files' times and the folder, entries in the given
  order with the given time and fixed permissions, the executables inside byte for byte the
  build's; bad entry lists refused;
- the binary checker: each fault planted into a copy of a built executable is reported.
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
RELEASE = os.path.join(HERE, "..", "..", "scripts", "release")
sys.path.insert(0, RELEASE)
import check_binaries  # noqa: E402
import zip_release  # noqa: E402

EPOCH = 1796722200  # a commit time: 2026-12-08 09:30:00 UTC
failures = []


def check(condition, text):
    print(("ok: " if condition else "FAILED: ") + text, flush=True)
    if not condition:
        failures.append(text)


def zip_of(folder, name, entries, epoch=EPOCH):
    path = os.path.join(folder, name)
    zip_release.write_zip(path, epoch, entries)
    with open(path, "rb") as result:
        return result.read()


def copies_with_times(exes, folder, mtime):
    """The executables copied into `folder` with the modification time `mtime`."""
    os.makedirs(folder)
    entries = []
    for exe in exes:
        copy = os.path.join(folder, os.path.basename(exe))
        shutil.copyfile(exe, copy)
        os.utime(copy, (mtime, mtime))
        entries.append((os.path.basename(exe), copy))
    return entries


def test_zip(exes, work):
    first = copies_with_times(exes, os.path.join(work, "a"), 1000000000)
    second = copies_with_times(exes, os.path.join(work, "b", "deeper"), 1700000000)
    check(zip_of(work, "1.zip", first) == zip_of(work, "2.zip", second),
          "same files in other folders with other times give the same zip bytes")
    check(zip_of(work, "3.zip", first) != zip_of(work, "4.zip", first, EPOCH + 2),
          "the given time is what goes into the zip")
    with zipfile.ZipFile(os.path.join(work, "1.zip")) as archive:
        infos = archive.infolist()
        check([i.filename for i in infos] == [name for name, _ in first],
              "entries in the given order")
        for info, (_, path) in zip(infos, first):
            with open(path, "rb") as built:
                check(archive.read(info) == built.read(),
                      "%s in the zip is byte for byte the built file" % info.filename)
            check(info.date_time == (2026, 12, 8, 9, 30, 0), "%s dated with the commit time"
                  % info.filename)
            check(info.external_attr >> 16 == 0o100755, "%s is 0755" % info.filename)


def test_bad_entries(exes, work):
    script = os.path.join(RELEASE, "zip_release.py")
    out = os.path.join(work, "bad.zip")
    cases = [  # (entries, expected exit code, what)
        (["a.exe=%s" % exes[0], "a.exe=%s" % exes[0]], 2, "a name given twice"),
        (["../a.exe=%s" % exes[0]], 2, "a name that leaves the zip's folder"),
        (["/a.exe=%s" % exes[0]], 2, "an absolute name"),
        (["a.exe=%s" % os.path.join(work, "missing.exe")], 2, "a missing file"),
        (["a.exe"], 2, "an entry without a path"),
    ]
    for entries, expected, what in cases:
        code = subprocess.run([sys.executable, script, "--output", out, "--epoch", "0"]
                              + entries, stderr=subprocess.DEVNULL).returncode
        check(code == expected and not os.path.exists(out),
              "refused (exit %d, no zip): %s" % (code, what))


def planted(data, fault):
    """A copy of an executable's bytes with one fault planted."""
    data = bytearray(data)
    header = struct.unpack_from("<I", data, 0x3C)[0]
    if fault == "time stamp":
        struct.pack_into("<I", data, header + 8, 1765000000)
    elif fault == "build path":
        data[-64:-64 + 19] = b"/home/builder/src/x"
    elif fault == "foreign DLL":  # the first imported DLL's name begins with "zz"
        pe = check_binaries.Pe(bytes(data))
        rva, _ = pe.directory(check_binaries.IMPORT_DIR)
        name_rva = struct.unpack_from("<IIIII", data, pe.offset(rva))[3]
        data[pe.offset(name_rva):pe.offset(name_rva) + 2] = b"zz"
    elif fault == "symbols":
        struct.pack_into("<II", data, header + 12, 4096, 12)
    elif fault.startswith("manifest "):  # same length, in the manifest's own bytes
        data = bytes(data)
        identity = data.index(b'name="Varnock" version="') + len(b'name="Varnock" version="')
        if fault == "manifest version":  # another first number
            return data[:identity] + (b"8" if data[identity:identity + 1] == b"9" else b"9") \
                + data[identity + 1:]
        old, new = {"manifest architecture": (b'Architecture="x86"', b'Architecture="arm"'),
                    "manifest XML": (b"</assembly>", b"</assemblX>")}[fault]
        if old not in data:  # the 64-bit build's manifest
            old, new = old.replace(b'"x86"', b'"amd64"'), new.replace(b'"arm"', b'"arm64"')
        data = data.replace(old, new, 1)
    return bytes(data)


def test_checker(exes, machine):
    with open(exes[0], "rb") as exe:
        clean = exe.read()
    check(check_binaries.problems_of(check_binaries.Pe(clean), machine, []) == [],
          "the built %s passes the checks" % os.path.basename(exes[0]))
    check(len(check_binaries.Pe(clean).manifests()) == 1,
          "%s carries one manifest, which the checks read" % os.path.basename(exes[0]))
    other = "x86_64" if machine == "i686" else "i686"
    cases = [  # (fault, machine, expected words of the problem)
        ("time stamp", machine, "time stamp 1765000000"),
        ("build path", machine, "build path '/home/builder'"),
        ("foreign DLL", machine, "which is not a system DLL"),
        ("symbols", machine, "symbol table present"),
        (None, other, "expected " + other),
        ("manifest architecture", machine, "manifest architecture"),
        ("manifest version", machine, "manifest version"),
        ("manifest XML", machine, "manifest is not well-formed XML"),
    ]
    for fault, expect_machine, words in cases:
        data = planted(clean, fault) if fault else clean
        problems = check_binaries.problems_of(check_binaries.Pe(data), expect_machine,
                                              ["/home/builder"])
        check(any(words in p for p in problems), "%s is reported (%r)" % (
            fault or "another machine", problems))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--machine", required=True, choices=sorted(check_binaries.MACHINES))
    parser.add_argument("executables", nargs="+")
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="varnock-release-test.")
    try:
        test_zip(args.executables, work)
        test_bad_entries(args.executables, work)
        test_checker(args.executables, args.machine)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
