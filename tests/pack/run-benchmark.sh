#!/usr/bin/env bash
# Builds a payload of about 200 MiB of mixed data, packs it behind the
# extraction benchmark and runs it under wine64.
#
#   tests/pack/run-benchmark.sh [BUILD_DIR] [MIB]
#
# BUILD_DIR is an x86_64 build tree with extract_benchmark built (default:
# build/x86_64 of the repository); sfxpack comes from that tree's
# QUOR_HOST_TOOLS_DIR. The tree and the packed program are kept in
# BUILD_DIR/sandbox/bench/ and reused while their size stays the same.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$repo/build/x86_64}" && pwd)
mib=${2:-200}

tools=$(sed -n 's/^QUOR_HOST_TOOLS_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
sfxpack=${SFXPACK:-$tools/sfxpack}
bench_exe=$build/sandbox/bin/extract_benchmark.exe
[ -x "$sfxpack" ] || { echo "run-benchmark: $sfxpack is missing (build the host tools)" >&2; exit 1; }
[ -f "$bench_exe" ] || { echo "run-benchmark: build the target extract_benchmark in $build first" >&2; exit 1; }

work=$build/sandbox/bench
mkdir -p "$work"
if [ ! -f "$work/bench-$mib.exe" ] || [ "$bench_exe" -nt "$work/bench-$mib.exe" ]; then
  echo "== generating $mib MiB of mixed data"
  python3 "$here/make_tree.py" "$work/tree" --kind bench --mib "$mib"
  echo "== packing"
  rm -f "$work"/bench-*.exe
  time "$sfxpack" --stub "$bench_exe" --from "$work/tree" --setup "" -o "$work/bench-$mib.exe"
fi
ls -l "$work/bench-$mib.exe"

rm -rf "$work/out"
echo "== running"
export LC_ALL=C.UTF-8
QUOR_WINE_ROOT=$build QUOR_TEST_TIMEOUT=1800 "$repo/cmake/wine-run.sh" "S:\\bench\\bench-$mib.exe" "S:\\bench\\out"
status=$?
rm -rf "$work/out"
exit $status
