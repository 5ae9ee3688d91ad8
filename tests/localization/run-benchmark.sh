#!/usr/bin/env bash
# Times the mnemonic fixer on a long form under wine64 (by hand, not a test):
# one label followed by 2,000 edit controls, one Fix.
#
#   tests/localization/run-benchmark.sh [BUILD_DIR] [EDITS]
#
# BUILD_DIR is an x86_64 build tree with shortcutfixer_benchmark built
# (default: build/x86_64 of the repository).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$repo/build/x86_64}" && pwd)
edits=${2:-2000}
bench_exe=$build/sandbox/bin/shortcutfixer_benchmark.exe
[ -f "$bench_exe" ] || { echo "run-benchmark: build the target shortcutfixer_benchmark in $build first" >&2; exit 1; }
QUOR_WINE_ROOT=$build "$repo/cmake/wine-run.sh" "$bench_exe" "$edits"
