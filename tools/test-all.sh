#!/bin/bash
# Installs what is missing, checks the C++ layout (clang-format) and the product's sources
# (clang-tidy), builds the presets and runs every test: the native unit tests
# (once more under ThreadSanitizer for those that share state with a thread), the fuzz
# targets for a bounded time each and, in the Windows build, the import check and the
# end-to-end tests under Wine.
# Safe to run again; exits non-zero when a build or any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
started=$SECONDS

echo "=== clang-format"
# Every C++ file of the project must already be as .clang-format lays it out.
find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror
cmake --preset native >/dev/null
cmake --preset fuzz >/dev/null
cmake --preset bench >/dev/null
echo "=== clang-tidy (the product's sources, from the configured builds' compile commands)"
python3 tools/tidy.py --jobs "$jobs"
cmake --build --preset native -j "$jobs"
cmake --preset native-tsan >/dev/null
cmake --build --preset native-tsan -j "$jobs"
cmake --build --preset fuzz -j "$jobs"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"

status=0
echo "=== native tests"
ctest --preset native -j "$jobs" || status=1
echo "=== native tests of state shared with worker threads, under ThreadSanitizer"
ctest --preset native-tsan -j "$jobs" || status=1
echo "=== fuzz targets, ten seconds each"
ctest --preset fuzz -j "$jobs" || status=1
echo "=== win32 tests (import check, INI comparison, end-to-end under Wine)"
ctest --preset win32 -j "$jobs" || status=1
echo "=== test-all: $([ $status -eq 0 ] && echo passed || echo FAILED) in $((SECONDS - started)) s"
exit $status
