#!/bin/bash
# Builds what the benchmarks need (the win32 preset and the native "bench" preset) and prints
# one table of Kestrun's idle cost, reaction and footprint with their goals. Not a test: it is
# not part of tools/test-all.sh. Runs as root (a network namespace, as the end-to-end tests);
# about four minutes once built. Where Wine cannot start (a kernel without 32-bit emulation)
# the Wine rows show "n/a" with the reason and the script ends with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
if ! dpkg-query -W -f='${Status}' valgrind 2>/dev/null | grep -q 'install ok installed'; then
    echo "Installing: valgrind"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends valgrind ||
        { apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -qq --no-install-recommends valgrind; }
fi
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$jobs"
exec python3 bench/bench.py --win32-dir build/win32 --native-dir build/bench "$@"
