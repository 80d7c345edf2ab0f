#!/usr/bin/env python3
"""Packs a built Torvane.exe with the user texts (dist/) and the licence into
OUTDIR/Torvane-<version>-win32.zip (a 32-bit executable) or -win64.zip (a 64-bit
one, as its PE header says), under a top folder Torvane-<version>/, and prints
the zip's path.

The same inputs give the same bytes: the entries in a fixed order, with fixed
modes and times and no extra fields. The entry time is $SOURCE_DATE_EPOCH if
set, else the time of the last commit, else 2026-01-01 00:00 UTC.

Usage: scripts/package-zip.py TORVANE_EXE OUTDIR
"""

import os
import re
import subprocess
import sys
import time
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FALLBACK_EPOCH = 1767225600
BOM = b"\xef\xbb\xbf"


def version() -> str:
    cmake = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
    match = re.search(r"^project\(Torvane VERSION ([0-9.]+)", cmake, re.MULTILINE)
    if not match:
        sys.exit("package-zip: no version in CMakeLists.txt")
    return match.group(1)


def entry_epoch() -> int:
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", str(ROOT), "log", "-1", "--format=%ct"],
                             capture_output=True, text=True, check=True).stdout.strip()
        return int(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return FALLBACK_EPOCH


def windows_text(source: Path, ver: str) -> bytes:
    """UTF-8 with a byte order mark and CR LF line ends, so that Notepad shows it right."""
    text = source.read_bytes().removeprefix(BOM).decode("utf-8")
    text = text.replace("\r\n", "\n").replace("@VERSION@", ver)
    return BOM + text.replace("\n", "\r\n").encode("utf-8")


def windows_width(exe: bytes) -> str:
    """win32 or win64, from the machine field of the PE header."""
    pe = int.from_bytes(exe[0x3C:0x40], "little")
    if exe[:2] != b"MZ" or exe[pe:pe + 4] != b"PE\0\0":
        sys.exit("package-zip: not a Windows executable")
    machine = int.from_bytes(exe[pe + 4:pe + 6], "little")
    widths = {0x014C: "win32", 0x8664: "win64"}
    if machine not in widths:
        sys.exit(f"package-zip: unexpected PE machine 0x{machine:04x}")
    return widths[machine]


def main() -> None:
    if len(sys.argv) != 3:
        sys.exit(f"usage: {sys.argv[0]} TORVANE_EXE OUTDIR")
    exe, outdir = Path(sys.argv[1]), Path(sys.argv[2])
    ver = version()
    top = f"Torvane-{ver}"
    program = exe.read_bytes()
    entries = [
        ("Torvane.exe", program, 0o755),
        ("使用说明.txt", windows_text(ROOT / "dist" / "使用说明.txt", ver), 0o644),
        ("README.txt", windows_text(ROOT / "dist" / "README.txt", ver), 0o644),
        ("LICENSE.txt", windows_text(ROOT / "LICENSE", ver), 0o644),
    ]
    # Zip times are local times without a zone: UTC makes them the same everywhere.
    stamp = time.gmtime(entry_epoch())[:6]

    outdir.mkdir(parents=True, exist_ok=True)
    target = outdir / f"{top}-{windows_width(program)}.zip"
    partial = target.with_name(target.name + ".part")
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data, mode in entries:
            # A name that is not ASCII is stored as UTF-8 and flagged so, which
            # Windows' own unzipper and 7-Zip honour.
            info = zipfile.ZipInfo(f"{top}/{name}", date_time=stamp)
            info.create_system = 3
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    partial.replace(target)
    print(target.resolve())


if __name__ == "__main__":
    main()
