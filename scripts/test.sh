#!/usr/bin/env bash
# Installs what is missing, builds everything and runs all tests (ctest, x86_64
# build under wine64 with a private, sandboxed Wine prefix; Xvfb when there is
# no display). Extra arguments go to ctest (for example -R extract).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
bash "$repo/scripts/setup.sh"
bash "$repo/scripts/build.sh" all
cd "$repo/build/x86_64"
status=0
ctest --output-on-failure -j 4 "$@" || status=$?
WINEPREFIX="$repo/build/x86_64/wineprefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
exit $status
