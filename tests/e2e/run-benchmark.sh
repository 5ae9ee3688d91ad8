#!/usr/bin/env bash
# Launch benchmark of the packed launcher (by hand, not a test):
#   tests/e2e/run-benchmark.sh BUILD_DIR HOST_TOOLS_DIR LAUNCHER.exe
# (BUILD_DIR: the x86_64 build tree; LAUNCHER.exe: its QuorSFX.exe, e.g. out/x86_64/QuorSFX.exe)
# Packs a payload of about 200 MiB (text-like data and random bytes, plus the
# stand-in installation program) into BUILD_DIR/sandbox/tmp/bench/bench.exe
# and runs launchbench on it under Wine: time until the dialog is visible,
# time until the installation program starts (less the five-second pause)
# against decode-only time of the same stream, and peak memory.
set -euo pipefail
build=$(cd "${1:?BUILD_DIR}" && pwd)
tools=$(cd "${2:?HOST_TOOLS_DIR}" && pwd)
stub=${3:?LAUNCHER.exe}
repo=$(cd "$(dirname "$0")/../.." && pwd)
work="$build/sandbox/tmp/bench"
rm -rf "$work" && mkdir -p "$work/payload"
python3 - "$work/payload" <<'PY'
import os, random, sys
out = sys.argv[1]
random.seed(7)
words = [''.join(random.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(random.randint(2, 9))) for _ in range(5000)]
os.makedirs(os.path.join(out, 'text')); os.makedirs(os.path.join(out, 'bin'))
total, i = 0, 0
while total < 140 * 1024 * 1024:
    n = 8 * 1024 * 1024
    s = ' '.join(random.choice(words) for _ in range(n // 6)).encode()[:n]
    open(os.path.join(out, 'text', 't%02d.txt' % i), 'wb').write(s); total += len(s); i += 1
for j in range(6):
    open(os.path.join(out, 'bin', 'r%d.bin' % j), 'wb').write(os.urandom(10 * 1024 * 1024))
PY
cp "$build/tests/e2e/dummysetup.exe" "$work/payload/setup.exe"
"$tools/sfxpack" --stub "$stub" --from "$work/payload" --setup setup -o "$work/bench.exe"
rm -rf "$work/payload"
mkdir -p "$work/temp"
QUOR_TEST_TIMEOUT=900 bash "$repo/cmake/wine-run.sh" "$build/sandbox/bin/launchbench.exe" \
    'S:\tmp\bench\bench.exe' 'S:\tmp\bench\record.txt' /w '/UFPATH=S:\tmp\bench\out\'
