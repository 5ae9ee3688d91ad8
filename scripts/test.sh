#!/usr/bin/env bash
# Installs what is missing, builds everything and runs all tests (ctest, x86_64
# build under wine64 with a private, sandboxed Wine prefix; Xvfb when there is
# no display). Extra arguments go to ctest (for example -R extract).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
bash "$repo/scripts/setup.sh"
bash "$repo/scripts/build.sh" all
tree="$repo/build/x86_64"
cd "$tree"
# The tests share one Xvfb (when there is no display); it and Wine's
# processes end with this command, also when it fails or is interrupted.
. "$repo/cmake/xvfb.sh"
quor_xvfb_own "$tree"
status=0
ctest --output-on-failure -j 4 "$@" || status=$?
exit $status
