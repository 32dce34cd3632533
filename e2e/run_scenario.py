#!/usr/bin/env python3
"""Runs one end-to-end scenario (or lists them for CTest).

    run_scenario.py --list
    run_scenario.py --build-dir build/win32 --source-dir . <scenario>

Exit code 0 passed, 1 failed, 77 skipped."""

import argparse
import glob
import importlib
import os
import signal
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402


def load_scenarios():
    here = os.path.dirname(os.path.abspath(__file__))
    for path in sorted(glob.glob(os.path.join(here, "scenarios_*.py"))):
        importlib.import_module(os.path.splitext(os.path.basename(path))[0])
    return harness.SCENARIOS


def pending_allowed(needs):
    wanted = os.environ.get("KESTRUN_E2E_PENDING", "")
    return wanted == "1" or needs in wanted.split(",")


def end_on_signal(signum, frame):
    # CTest ends a test that runs too long with SIGTERM: unwind so that the session still
    # kills its wineserver, stops Xvfb and deletes its namespace.
    raise KeyboardInterrupt(f"signal {signum}")


def main():
    signal.signal(signal.SIGTERM, end_on_signal)
    parser = argparse.ArgumentParser()
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--build-dir")
    parser.add_argument("--source-dir", default=os.path.dirname(
        os.path.dirname(os.path.abspath(__file__))))
    parser.add_argument("name", nargs="?")
    args = parser.parse_args()
    scenarios = load_scenarios()
    if args.list:
        # name;timeout;labels — read by e2e/tests.cmake
        for s in scenarios.values():
            print(f"{s.name}|{s.timeout}|{','.join(s.labels)}")
        return 0
    if not args.build_dir or args.name not in scenarios:
        parser.error(f"need --build-dir and one of: {', '.join(scenarios)}")
    s = scenarios[args.name]
    if s.needs and not pending_allowed(s.needs):
        print(f"SKIPPED: needs '{s.needs}', which the program does not have yet "
              f"(KESTRUN_E2E_PENDING=1 runs it anyway)")
        return harness.SKIP_CODE
    reason = harness.wine_cannot_run()
    if reason:
        print(f"SKIPPED: {reason}")
        return harness.SKIP_CODE
    paths = harness.Paths(args.build_dir, args.source_dir)
    started = time.monotonic()
    try:
        with harness.Session(paths, s.name, windows=s.windows, display=s.display,
                             netns=s.netns) as session:
            s.function(session)
    except harness.ScenarioSkipped as skipped:
        print(f"SKIPPED: {skipped}")
        return harness.SKIP_CODE
    except harness.ScenarioFailed as failed:
        print(f"FAILED: {failed}")
        return 1
    except (Exception, KeyboardInterrupt):
        traceback.print_exc()
        return 1
    harness.log(f"{s.name} passed in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
