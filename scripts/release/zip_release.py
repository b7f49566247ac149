#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on the files' contents and one given time.

    zip_release.py --output ZIP --epoch SECONDS NAME=PATH...

Entries are written in the order given, each with the time SECONDS (UTC; the commit's time),
fixed permissions (0755 for .exe, 0644 otherwise), no extra fields, deflated at level 9.
Exit code 0 on success, 2 on a usage error or a missing file.
"""

import argparse
import os
import sys
import time
import zipfile

ZIP_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry can hold


def entry_info(name, epoch):
    stamp = time.gmtime(max(epoch, ZIP_EPOCH))[:6]
    info = zipfile.ZipInfo(name, date_time=stamp)
    info.create_system = 3  # Unix, so that the permissions below are read
    mode = 0o755 if name.lower().endswith(".exe") else 0o644
    info.external_attr = (0o100000 | mode) << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def write_zip(output, epoch, entries):
    """entries: [(name in the zip, path of the file)], written in this order."""
    names = [name for name, _ in entries]
    if len(set(names)) != len(names):
        raise ValueError("an entry name occurs twice: %r" % names)
    partial = output + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, path in entries:
            with open(path, "rb") as source:
                archive.writestr(entry_info(name, epoch), source.read(),
                                 compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
    os.replace(partial, output)


def parse_entry(text):
    name, sep, path = text.partition("=")
    if not sep or not name or not path:
        raise argparse.ArgumentTypeError("expected NAME=PATH, got %r" % text)
    if name.startswith("/") or ".." in name.split("/"):
        raise argparse.ArgumentTypeError("entry name must be relative: %r" % name)
    return name, path


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", required=True)
    parser.add_argument("--epoch", type=int, required=True)
    parser.add_argument("entries", nargs="+", type=parse_entry, metavar="NAME=PATH")
    args = parser.parse_args(argv)
    missing = [path for _, path in args.entries if not os.path.isfile(path)]
    if missing:
        print("zip_release: missing files: %s" % ", ".join(missing), file=sys.stderr)
        return 2
    try:
        write_zip(args.output, args.epoch, args.entries)
    except ValueError as error:
        print("zip_release: %s" % error, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
