#!/usr/bin/env python3
"""Builds the installer of a built Torvane.exe with NSIS (dist/installer/torvane.nsi):
OUTDIR/Torvane-<version>-win32-setup.exe for a 32-bit executable, -win64-setup.exe
(a 64-bit installer, NSIS's amd64-unicode stub) for a 64-bit one, and prints its path.
It installs the same files as the zip: Torvane.exe and the three texts.

The same inputs give the same bytes. makensis stores each file's modification time
(installed files get it back) and nothing else of the build's moment, so the files
are staged with the time the zips use: $SOURCE_DATE_EPOCH if set, else the time of
the last commit. The stub, plug-ins and language files are Debian's nsis package's.

Usage: scripts/package-installer.py TORVANE_EXE ICON OUTDIR
"""

import importlib.util
import os
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
NSI = HERE.parent / "dist" / "installer" / "torvane.nsi"


def zip_packer():
    """The zip's own rules (version, texts, width, time), so that both downloads agree."""
    source = importlib.util.spec_from_file_location("package_zip", HERE / "package-zip.py")
    module = importlib.util.module_from_spec(source)
    source.loader.exec_module(module)
    return module


def main() -> None:
    if len(sys.argv) != 4:
        sys.exit(f"usage: {sys.argv[0]} TORVANE_EXE ICON OUTDIR")
    exe, icon, outdir = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])
    packer = zip_packer()
    ver = packer.version()
    program = exe.read_bytes()
    width = packer.windows_width(program)
    epoch = packer.entry_epoch()
    outdir.mkdir(parents=True, exist_ok=True)
    target = (outdir / f"Torvane-{ver}-{width}-setup.exe").resolve()
    partial = target.with_name(target.name + ".part")

    with tempfile.TemporaryDirectory(prefix="torvane-installer-") as stage_dir:
        stage = Path(stage_dir)
        files = {
            "Torvane.exe": program,
            "使用说明.txt": packer.windows_text(packer.ROOT / "dist" / "使用说明.txt", ver),
            "README.txt": packer.windows_text(packer.ROOT / "dist" / "README.txt", ver),
            "LICENSE.txt": packer.windows_text(packer.ROOT / "LICENSE", ver),
            "torvane.ico": icon.read_bytes(),
        }
        for name, data in files.items():
            path = stage / name
            path.write_bytes(data)
            os.utime(path, (epoch, epoch))
        # makensis names paths the Windows way; on Linux it accepts '/' as well.
        command = ["makensis", "-V2", "-NOCD", "-INPUTCHARSET", "UTF8",
                   f"-X!addincludedir {NSI.parent}",
                   f"-DVERSION={ver}", f"-DWIDTH={width}", f"-DSTAGE={stage}", f"-DOUTFILE={partial}",
                   str(NSI)]
        env = dict(os.environ, SOURCE_DATE_EPOCH=str(epoch), LC_ALL="C.UTF-8")
        result = subprocess.run(command, cwd=stage, env=env, capture_output=True, text=True)
        if result.returncode != 0:
            sys.stderr.write(result.stdout + result.stderr)
            sys.exit(f"package-installer: makensis failed ({result.returncode})")
    partial.replace(target)
    print(target)


if __name__ == "__main__":
    main()
