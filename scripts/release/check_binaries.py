#!/usr/bin/env python3
"""Checks Windows executables for what a reproducible release needs.

    check_binaries.py --machine i686|x86_64 [--forbid TEXT]... EXE...

For each EXE: the expected machine; no time stamp in the PE header, the resource directories
or debug entries (all zero); no symbol table; imports from system DLLs only; none of the
--forbid texts (build folders) in the file, as 8-bit or UTF-16 text; an embedded manifest
(RT_MANIFEST) that is well-formed XML, names the machine's architecture (Windows refuses to
start an exe whose manifest names another) and the version of the file VERSION. Prints one
line per problem; exit code 0 when there is none, 1 otherwise, 2 on a usage error.
"""

import argparse
import os
import struct
import sys
import xml.etree.ElementTree as ElementTree

MACHINES = {"i686": (0x14C, 0x10B), "x86_64": (0x8664, 0x20B)}  # machine, optional magic
MANIFEST_ARCHITECTURES = {"i686": "x86", "x86_64": "amd64"}
ASSEMBLY_V1 = "{urn:schemas-microsoft-com:asm.v1}"
RT_MANIFEST = 24
VERSION_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "VERSION")
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

    def resource_entries(self, at):
        """(id or None for a named entry, is a directory, offset) of one resource directory."""
        named, ids = struct.unpack_from("<HH", self.data, at + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
            yield (None if name & 0x80000000 else name, bool(target & 0x80000000),
                   target & 0x7FFFFFFF)

    def manifests(self):
        """The bytes of every RT_MANIFEST resource (type, then name, then language)."""
        rva, size = self.directory(RESOURCE_DIR)
        if not size:
            return []
        base, found = self.offset(rva), []
        for type_id, _, names in self.resource_entries(base):
            if type_id != RT_MANIFEST:
                continue
            for _, _, languages in self.resource_entries(base + names):
                for _, _, entry in self.resource_entries(base + languages):
                    data_rva, data_size = struct.unpack_from("<II", self.data, base + entry)
                    start = self.offset(data_rva)
                    found.append(self.data[start:start + data_size])
        return found

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


def release_version():
    with open(VERSION_FILE, encoding="ascii") as version:
        numbers = version.readline().strip().split(".")
    return ".".join((numbers + ["0"] * 4)[:4])


def manifest_problems(manifest, machine, version):
    """The problems of one embedded manifest's bytes, as texts."""
    try:
        root = ElementTree.fromstring(manifest)
    except ElementTree.ParseError as error:
        return ["manifest is not well-formed XML: %s" % error]
    identity = root.find(ASSEMBLY_V1 + "assemblyIdentity")
    if root.tag != ASSEMBLY_V1 + "assembly" or identity is None:
        return ["manifest has no assembly identity"]
    found = []
    architecture = identity.get("processorArchitecture")
    if architecture != MANIFEST_ARCHITECTURES[machine]:
        found.append("manifest architecture %r, expected %r for %s" % (
            architecture, MANIFEST_ARCHITECTURES[machine], machine))
    if identity.get("version") != version:
        found.append("manifest version %r, expected %r from VERSION" % (
            identity.get("version"), version))
    return found


def problems_of(pe, machine, forbidden, version=None):
    """The problems of one parsed executable, as texts."""
    found = []
    for manifest in pe.manifests():
        found += manifest_problems(manifest, machine, version or release_version())
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
                pe = Pe(exe.read())
            problems = problems_of(pe, args.machine, args.forbid)
        except (OSError, ValueError, struct.error) as error:
            problems = ["cannot be read as a PE file: %s" % error]
        for problem in problems:
            print("%s: %s" % (path, problem))
        if not problems:
            for manifest in pe.manifests():
                identity = ElementTree.fromstring(manifest).find(ASSEMBLY_V1 + "assemblyIdentity")
                print("%s: manifest %s, version %s" % (path, identity.get("processorArchitecture"),
                                                       identity.get("version")))
        print("%s: %s" % (path, "FAILED" if problems else "ok"))
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
