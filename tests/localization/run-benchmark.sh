#!/usr/bin/env bash
# Times the mnemonic fixer on a long form under wine64 (by hand, not a test):
# one label followed by EDITS edit controls (default 2000), one Fix per run,
# the fastest of three runs printed.
#
#   tests/localization/run-benchmark.sh [BUILD_DIR] [EDITS]
#
# BUILD_DIR is an x86_64 build tree (default: build/x86_64 of the repository);
# the program shortcutfixer_benchmark is built there when needed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$repo/build/x86_64}" && pwd)
edits=${2:-2000}
cmake --build "$build" --target shortcutfixer_benchmark -j 8 >/dev/null
QUOR_WINE_ROOT=$build bash "$repo/cmake/wine-run.sh" "$build/sandbox/bin/shortcutfixer_benchmark.exe" "$edits"
