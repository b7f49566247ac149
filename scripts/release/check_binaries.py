#!/usr/bin/env python3
"""Checks Windows executables for what a reproducible release needs.

    check_binaries.py --machine i686|x86_64 [--forbid TEXT]... EXE...

For each EXE: the expected machine; no time stamp in the PE header, the resource directories
or debug entries (all zero); no symbol table; imports from system DLLs only; none of the
--forbid texts (build folders) in the file, as 8-bit or UTF-16 text. Prints one line per
problem; exit code 0 when there is none, 1 otherwise, 2 on a usage error.
"""

import argparse
import struct
import sys

MACHINES = {"i686": (0x14C, 0x10B), "x86_64": (0x8664, 0x20B)}  # machine, optional magic
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "uxtheme.dll",
    "version.dll", "wininet.dll", "ws2_32.dll",
}
IMPORT_DIR, RESOURCE_DIR, DEBUG_DIR = 1, 2, 6


class Pe:
    """The parts of a PE file that the checks read."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        header = struct.unpack_from("<I", data, 0x3C)[0]
        if data[header:header + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, self.time_stamp, self.symbol_table, self.symbols,
         optional_size, _) = struct.unpack_from("<HHIIIHH", data, header + 4)
        optional = header + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (96 if self.magic == 0x10B else 112)
        count = struct.unpack_from("<I", data, directories - 4)[0]
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(count)]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8sIIII", data, table + 40 * i)
                         for i in range(sections)]

    def offset(self, rva):
        for _, size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError("RVA 0x%x is in no section" % rva)

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def text_at(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii", "replace")

    def imported_dlls(self):
        rva, size = self.directory(IMPORT_DIR)
        names, at = [], self.offset(rva) if size else None
        while at is not None:
            descriptor = struct.unpack_from("<IIIII", self.data, at)
            if not any(descriptor):
                break
            names.append(self.text_at(descriptor[3]))
            at += 20
        return names

    def resource_time_stamps(self):
        rva, size = self.directory(RESOURCE_DIR)
        if not size:
            return []
        base, stamps, pending = self.offset(rva), [], [0]
        while pending:
            at = base + pending.pop()
            _, stamp, _, _, named, ids = struct.unpack_from("<IIHHHH", self.data, at)
            stamps.append(stamp)
            for i in range(named + ids):
                _, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                if target & 0x80000000:
                    pending.append(target & 0x7FFFFFFF)
        return stamps


def problems_of(pe, machine, forbidden):
    """The problems of one parsed executable, as texts."""
    found = []
    if (pe.machine, pe.magic) != MACHINES[machine]:
        found.append("machine 0x%x / magic 0x%x, expected %s" % (pe.machine, pe.magic, machine))
    if pe.time_stamp:
        found.append("PE header time stamp %d" % pe.time_stamp)
    if pe.symbol_table or pe.symbols:
        found.append("symbol table present (%d symbols)" % pe.symbols)
    if pe.directory(DEBUG_DIR)[1]:
        found.append("debug directory present")
    if any(pe.resource_time_stamps()):
        found.append("resource directory time stamps %r" % pe.resource_time_stamps())
    for dll in pe.imported_dlls():
        if dll.lower() not in SYSTEM_DLLS:
            found.append("imports %s, which is not a system DLL" % dll)
    for text in forbidden:
        for encoded in (text.encode("utf-8"), text.encode("utf-16-le")):
            if encoded in pe.data:
                found.append("contains the build path %r" % text)
                break
    return found


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--machine", choices=sorted(MACHINES), required=True)
    parser.add_argument("--forbid", action="append", default=[])
    parser.add_argument("executables", nargs="+")
    args = parser.parse_args(argv)
    failed = False
    for path in args.executables:
        try:
            with open(path, "rb") as exe:
                problems = problems_of(Pe(exe.read()), args.machine, args.forbid)
        except (OSError, ValueError, struct.error) as error:
            problems = ["cannot be read as a PE file: %s" % error]
        for problem in problems:
            print("%s: %s" % (path, problem))
        print("%s: %s" % (path, "FAILED" if problems else "ok"))
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
