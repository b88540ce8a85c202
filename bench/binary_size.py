#!/usr/bin/env python3
"""What Quillow ships, stripped, against the 300 KB goal, and where the bytes
of Quillow.exe go: its sections, then the objects and libraries that fill
them, read from a link map made by relinking the exe exactly as the build
did, with -Wl,-Map added. The build's own files are not touched."""

import argparse
import collections
import re
import shlex
import subprocess
import sys
import tempfile
from pathlib import Path

from goals import at_most_line

ROOT = Path(__file__).resolve().parents[1]
BUILD = ROOT / "build" / "cmake"
SHIPPED = ["Quillow.exe", "HookLib.dll", "QuillowWatch.exe"]
GOAL_BYTES = 300 * 1024
STRIP = "x86_64-w64-mingw32-strip"
OBJDUMP = "x86_64-w64-mingw32-objdump"
MAP_ENTRY = re.compile(r"^ (\.text|\.rdata|\.data|\.pdata|\.xdata)\S*\s*\n?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S+)",
                       re.M)


def stripped_size(path, folder):
    copy = folder / path.name
    subprocess.run([STRIP, "-o", str(copy), str(path)], check=True)
    return copy.stat().st_size, copy


def sections(exe):
    listing = subprocess.run([OBJDUMP, "-h", str(exe)], check=True, capture_output=True, text=True).stdout
    return [(fields[1], int(fields[2], 16)) for fields in
            (line.split() for line in listing.splitlines()) if len(fields) >= 7 and fields[0].isdigit()]


def link_map(folder):
    """The build's own link command for Quillow.exe, writing elsewhere, with a map."""
    commands = subprocess.run(["ninja", "-C", str(BUILD), "-t", "commands", "bin/Quillow.exe"],
                              check=True, capture_output=True, text=True).stdout.splitlines()
    link = commands[-1].removeprefix(": && ").removesuffix(" && :")
    map_path, exe = folder / "Quillow.map", folder / "linked.exe"
    link = link.replace(" -o bin/Quillow.exe", f" -o {shlex.quote(str(exe))} -Wl,-Map,{shlex.quote(str(map_path))}")
    subprocess.run(link, shell=True, check=True, cwd=BUILD)
    text = map_path.read_text(errors="replace")
    return text[text.index("Linker script and memory map"):]


def contributors(map_text):
    by_object, by_library = collections.Counter(), collections.Counter()
    for match in MAP_ENTRY.finditer(map_text):
        name = match.group(3).split("/")[-1]
        size = int(match.group(2), 16)
        by_object[name] += size
        by_library[re.sub(r"\(.*", "", name)] += size
    return by_library, by_object


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--top", type=int, default=15, help="objects to list (default 15)")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as scratch:
        folder = Path(scratch)
        total = 0
        for name in SHIPPED:
            size, copy = stripped_size(BUILD / "bin" / name, folder)
            total += size
            print(f"  {name:<18} {size:>9,} bytes stripped")
            if name == "Quillow.exe":
                exe = copy
        print("  " + at_most_line("together", total / 1024, GOAL_BYTES / 1024, "KB"))
        print("  Quillow.exe by section: " + ", ".join(f"{n} {s:,}" for n, s in sections(exe)))
        by_library, by_object = contributors(link_map(folder))
        print("  code and data by library (.text .rdata .data .pdata .xdata, bytes):")
        for name, size in by_library.most_common(8):
            print(f"    {size:>9,}  {name}")
        print(f"  the {args.top} largest objects:")
        for name, size in by_object.most_common(args.top):
            print(f"    {size:>9,}  {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
