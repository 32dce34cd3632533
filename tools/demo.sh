#!/bin/bash
# Builds Kestrun.exe and runs it under Wine with a simulated router hand-over: on your
# display when DISPLAY is set, otherwise on a private Xvfb. Screenshots go to
# build/win32/e2e/artifacts/. Extra arguments go to e2e/demo.py (--windows vista ...).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j 2
exec python3 e2e/demo.py --build-dir build/win32 "$@"
