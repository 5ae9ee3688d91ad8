#!/usr/bin/env bash
# Extraction benchmark of both programs (x86_64 and i686) on one payload of
# about 200 MiB of mixed data, under Wine.
#
#   tests/pack/run-benchmark.sh [MIB] [RUNS]
#
# The tree is generated and packed once (behind the first program found) and
# kept in build/x86_64/sandbox/bench/ while its size stays the same; the same
# compressed stream is then carried behind each program's extract_benchmark
# and launcher (carry-payload.py), so every figure decodes the same bytes.
# Each of RUNS rounds (default 5) runs every program once, the programs one
# after the other: decode-only, the engine's whole extraction (decode and
# spool, copy-out) and the launcher's whole run under /q less its five-second
# pause, all in one process run. The table gives the medians and the ratios
# to decode-only; the machine's load is printed before and after each round,
# as other work on the machine disturbs the figures.
#
# Build trees: QUOR_BENCH_TREES (default: build/x86_64 build/i686 of the
# repository), each with extract_benchmark and QuorSFX built. A tree that is
# missing, or a program this machine cannot run (32-bit code without the
# kernel's 32-bit support), is reported as skipped with the reason. All runs
# use the prefix of build/x86_64 (drive S: = its sandbox folder).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
mib=${1:-200}
runs=${2:-5}
trees=${QUOR_BENCH_TREES:-"$repo/build/x86_64 $repo/build/i686"}
prefix_tree=$repo/build/x86_64
[ -f "$prefix_tree/CMakeCache.txt" ] || { echo "run-benchmark: configure build/x86_64 first (its prefix runs both programs)" >&2; exit 1; }

tools=$(sed -n 's/^QUOR_HOST_TOOLS_DIR:[A-Z]*=//p' "$prefix_tree/CMakeCache.txt")
sfxpack=${SFXPACK:-$tools/sfxpack}
[ -x "$sfxpack" ] || { echo "run-benchmark: $sfxpack is missing (build the host tools)" >&2; exit 1; }

work=$prefix_tree/sandbox/bench
mkdir -p "$work"

# The programs to measure: ARCH BENCH_EXE LAUNCHER_EXE, one line each.
programs=()
for tree in $trees; do
  arch=$(basename "$tree")
  bench=$tree/sandbox/bin/extract_benchmark.exe
  launcher=$tree/app/QuorSFX.exe
  if [ -f "$bench" ] && [ -f "$launcher" ]; then
    programs+=("$arch $bench $launcher")
  else
    echo "== $arch: skipped: build extract_benchmark and QuorSFX in $tree first"
  fi
done
[ ${#programs[@]} -gt 0 ] || exit 1

payload=$work/payload-$mib.exe
if [ ! -f "$payload" ]; then
  echo "== generating $mib MiB of mixed data"
  python3 "$here/make_tree.py" "$work/tree" --kind bench --mib "$mib"
  echo "== packing"
  rm -f "$work"/payload-*.exe
  read -r _ first_bench _ <<<"${programs[0]}"
  time "$sfxpack" --stub "$first_bench" --from "$work/tree" --setup "" -o "$payload.part"
  mv "$payload.part" "$payload"
fi
ls -l "$payload"

for entry in "${programs[@]}"; do
  read -r arch bench launcher <<<"$entry"
  python3 "$here/carry-payload.py" "$payload" "$bench" "$work/bench-$arch.exe"
  python3 "$here/carry-payload.py" "$payload" "$launcher" "$work/launcher-$arch.exe"
done

export LC_ALL=C.UTF-8
results=$work/results.txt
: >"$results"
for round in $(seq "$runs"); do
  echo "== round $round of $runs, load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  for entry in "${programs[@]}"; do
    read -r arch _ <<<"$entry"
    rm -rf "$work/out"
    set +e
    out=$(QUOR_WINE_ROOT=$prefix_tree QUOR_TEST_TIMEOUT=1800 "$repo/cmake/wine-run.sh" "$work/bench-$arch.exe" \
          'S:\bench\out' "S:\\bench\\launcher-$arch.exe" 2>&1)
    status=$?
    set -e
    rm -rf "$work/out"
    if [ $status -eq 77 ]; then
      why=$(sed -n 's/.*skipped: //p' <<<"$out" | head -1)
      echo "$arch skipped $why" >>"$results"
      echo "   $arch: skipped: $why"
      continue
    elif [ $status -ne 0 ]; then
      echo "$out" >&2
      echo "run-benchmark: $arch failed ($status)" >&2
      exit 1
    fi
    value() { sed -n "s/^$1: *\([0-9.]*\) s.*/\1/p" <<<"$out"; }
    line="$arch $(value 'decode only') $(value 'decode and spool') $(value 'copy-out') $(value 'whole extraction')"
    line="$line $(value 'launcher whole run') $(value 'window system start in this process')"
    echo "$line" >>"$results"
    echo "   $arch: decode only $(value 'decode only') s, whole extraction $(value 'whole extraction') s, launcher $(value 'launcher whole run') s"
  done
  echo "   load after: $(cut -d' ' -f1-3 /proc/loadavg)"
done

python3 - "$results" <<'PY'
import statistics, sys
rows, skipped = {}, {}
for line in open(sys.argv[1]):
    parts = line.split()
    if parts[1] == "skipped":
        skipped[parts[0]] = " ".join(parts[2:])
    else:
        rows.setdefault(parts[0], []).append([float(x) for x in parts[1:]])
print()
print("medians (seconds); each ratio is the median of the rounds' ratios to the decode-only of the same run")
print("%-8s %5s %12s %16s %9s %17s %6s %13s %6s %13s" % ("program", "runs", "decode only", "decode and spool",
                                                         "copy-out", "whole extraction", "ratio", "launcher run",
                                                         "ratio", "window system"))
for arch, samples in rows.items():
    m = [statistics.median(column) for column in zip(*samples)]
    engine = statistics.median(s[3] / s[0] for s in samples)
    launcher = statistics.median(s[4] / s[0] for s in samples)
    print("%-8s %5d %12.3f %16.3f %9.3f %17.3f %6.2f %13.3f %6.2f %13.3f" % (
        arch, len(samples), m[0], m[1], m[2], m[3], engine, m[4], launcher, m[5]))
for arch, why in skipped.items():
    print("%-8s skipped: %s" % (arch, why))
print("launcher run: from its start to its end under /q, less the five-second pause; goal: ratio <= 1.30")
print("window system: its start in the benchmark's process before the launcher runs (the first program of a")
print("Wine session that uses windows waits for it; a user's session has it running), not in the launcher run")
PY
