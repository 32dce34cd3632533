#!/usr/bin/env python3
"""Runs clang-tidy (the checks of .clang-tidy) over the product's sources: every .cpp outside
tests/ and e2e/ that a native build compiles, from that build's compile_commands.json. The
native preset compiles the layers and tools/native; fuzz/ comes from the fuzz preset's
database and bench/ from the bench preset's, when they are configured. platform/win32,
tools/win32 and the Windows-only programs of bench/ are in no native build, so they are not
checked here.

    tools/tidy.py [--jobs N]

Exit code 0 when no finding counts, 1 otherwise."""

import argparse
import concurrent.futures
import json
import os
import re
import subprocess
import sys

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Folder of a source file -> the build whose database compiles it.
DATABASES = {"fuzz": "build/fuzz", "bench": "build/bench"}
NATIVE = "build/native"
NOT_PRODUCT = ("tests", "e2e")
PRODUCT_FOLDERS = ("platform", "settings", "netprobe", "tunnel", "portal", "ui", "status", "app",
                   "res", "tools", "fuzz", "bench")
# Folders whose findings are printed but do not fail the run; none since the reshaping of
# the connection landed. A folder put here must say why.
NOT_FAILING_YET = ()
FINDING = re.compile(r"^(\S+?):(\d+):(\d+): (warning|error): .*\[([\w.,-]+)\]$")


def header_filter(folders):
    return r".*/(" + "|".join(folders) + r")/[^/]+\.h$"


def folder_of(path):
    return os.path.relpath(path, SOURCE_DIR).split(os.sep)[0]


def translation_units():
    """(file, database directory) of every product source, each once."""
    units = {}
    for folder_db in [NATIVE] + list(DATABASES.values()):
        path = os.path.join(SOURCE_DIR, folder_db, "compile_commands.json")
        if not os.path.exists(path):
            if folder_db == NATIVE:
                sys.exit(f"{path} missing: configure the native preset first")
            print(f"tidy: {folder_db} is not configured, its sources are not checked")
            continue
        with open(path) as f:
            for entry in json.load(f):
                source = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
                folder = folder_of(source)
                if folder in NOT_PRODUCT or folder not in PRODUCT_FOLDERS:
                    continue
                if DATABASES.get(folder, NATIVE) == folder_db:
                    units.setdefault(source, os.path.join(SOURCE_DIR, folder_db))
    return sorted(units.items())


def tidy(source, database):
    """Runs clang-tidy on one file; returns (source, counts, output)."""
    counts = folder_of(source) not in NOT_FAILING_YET
    command = ["clang-tidy", "-p", database, "--quiet"]
    if counts:
        # Findings in the headers of the folders that do not fail yet are theirs.
        command.append("--header-filter=" + header_filter(
            [f for f in PRODUCT_FOLDERS if f not in NOT_FAILING_YET]))
    else:
        command.append("--warnings-as-errors=-*")
    result = subprocess.run(command + [source], capture_output=True, text=True)
    return source, counts and result.returncode != 0, result.stdout + result.stderr


def shown(path):
    """A finding's file relative to the sources; a layer view's link counts as its target."""
    return os.path.relpath(os.path.realpath(path), SOURCE_DIR)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--jobs", type=int, default=2)
    args = parser.parse_args()
    units = translation_units()
    failing, pending = [], set()
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        for source, failed, output in pool.map(lambda u: tidy(*u), units):
            if failed:
                failing.append(shown(source))
                print(output, end="")
            for line in output.splitlines():
                match = FINDING.match(line)
                if match and not failed:
                    file, row, column, _, check = match.groups()
                    pending.add(f"{shown(file)}:{row}:{column} [{check}]")
    if pending:
        print(f"tidy: {len(pending)} findings in {', '.join(NOT_FAILING_YET)}, which do not "
              "fail the run yet:")
        for finding in sorted(pending):
            print("    " + finding)
    print(f"tidy: {len(units)} files, {len(failing)} with findings"
          + (": " + ", ".join(failing) if failing else ""))
    return 1 if failing else 0


if __name__ == "__main__":
    sys.exit(main())
