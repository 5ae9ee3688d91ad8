#!/usr/bin/env bash
# Runs the seeded random archive test with a larger count under wine64.
#
#   tests/extract/run-random.sh [COUNT] [SEED] [BUILD_DIR]
#
# COUNT archives of each kind (default 5000), SEED (default: the suite's),
# BUILD_DIR an x86_64 build tree with test_extract_random built (default:
# build/x86_64 of the repository). A failure names its seed and round.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(cd "${3:-$repo/build/x86_64}" && pwd)
program=$build/sandbox/bin/test_extract_random.exe
[ -f "$program" ] || { echo "run-random: build the target test_extract_random in $build first" >&2; exit 1; }

export QUOR_RANDOM_ARCHIVES=${1:-5000}
[ -n "${2:-}" ] && export QUOR_RANDOM_SEED=$2
QUOR_WINE_ROOT=$build QUOR_TEST_TIMEOUT=${QUOR_TEST_TIMEOUT:-7200} "$repo/cmake/wine-run.sh" "$program"
