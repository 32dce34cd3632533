"""The fake profile must behave like Wine's profile functions: one sequence of reads and
writes (tools/ini_sequence.h) runs through both, and the printouts and the files they leave
must be identical."""

import difflib
import os
import subprocess
import tempfile

from harness import ScenarioFailed, check, scenario


def files_in(directory):
    result = {}
    for name in sorted(os.listdir(directory)):
        with open(os.path.join(directory, name), "rb") as f:
            result[name] = f.read()
    return result


@scenario("ini_compare", windows="winxp", display=False, timeout=120)
def ini_compare(s):
    native_probe = os.path.join(s.paths.source_dir, "build", "native", "ini_probe")
    if not os.path.exists(native_probe):
        raise ScenarioFailed(f"{native_probe} missing: build the native preset first")
    wine_dir = os.path.join(s.prefix, "drive_c", "probe")
    os.makedirs(wine_dir)
    wine_out = s.wine([s.paths.tool("ini_probe"), "C:\\probe"]).stdout.replace("\r\n", "\n")

    with tempfile.TemporaryDirectory() as native_dir:
        native_out = subprocess.run([native_probe, native_dir], capture_output=True,
                                    text=True, check=True, timeout=60).stdout
        native_files = files_in(native_dir)
    wine_files = files_in(wine_dir)

    diff = "".join(difflib.unified_diff(wine_out.splitlines(True),
                                        native_out.splitlines(True), "wine", "fake"))
    check(not diff, f"printed results differ:\n{diff}")
    check(sorted(wine_files) == sorted(native_files),
          f"files differ: wine {sorted(wine_files)}, fake {sorted(native_files)}")
    for name in wine_files:
        check(wine_files[name] == native_files[name],
              f"{name} differs:\nwine {wine_files[name]!r}\nfake {native_files[name]!r}")
    check(wine_out.count("\n") > 40, "sequence printed too little")
