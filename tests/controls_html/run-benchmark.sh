#!/usr/bin/env bash
# Paint benchmark of the HTML-subset control (by hand, not a test):
#
#   tests/controls_html/run-benchmark.sh [BUILD_DIR] [CHARS...]
#
# BUILD_DIR is an x86_64 build tree (default: build/x86_64 of the repository);
# the program xhtml_paint_benchmark is built there when needed. For each length
# (default 100000) it prints the time per paint of one word of that many
# characters without a blank and of words of the same total length.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$repo/build/x86_64}" && pwd)
shift || true
cmake --build "$build" --target xhtml_paint_benchmark -j 8 >/dev/null
QUOR_TEST_TIMEOUT=${QUOR_TEST_TIMEOUT:-900} bash "$repo/cmake/wine-run.sh" \
    "$build/sandbox/bin/xhtml_paint_benchmark.exe" "$@"
