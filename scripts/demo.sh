#!/usr/bin/env bash
# The demo: installs what is missing, builds, packs a sample payload into the
# launcher, runs it under Wine with "/w" and shows what happened. It runs the
# shipped 32-bit launcher (i686) where the machine can run 32-bit programs,
# and its x86_64 twin otherwise, and says which.
#
#   bash scripts/demo.sh
#
# Wine runs in its own sandboxed prefix under build/demo/ (drive S: is
# build/demo/sandbox/; no drive reaches the rest of the file system). The
# user's display is used when there is one, Xvfb otherwise. The picture of
# the progress dialog is saved as out/demo-dialog.png.
#
# QUOR_DEMO_NO_BUILD=1 skips the installation and the build; QUOR_BUILD_DIR and
# QUOR_OUT_DIR name other build and output folders (default build/ and out/).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${QUOR_BUILD_DIR:-$repo/build}
out=${QUOR_OUT_DIR:-$repo/out}
demo="$build/demo"
box="$demo/sandbox"

if [ -z "${QUOR_DEMO_NO_BUILD:-}" ]; then
  bash "$repo/scripts/setup.sh"
fi
. "$repo/cmake/wine-arch.sh"
if why=$(quor_wine32_missing); then
  arch=x86_64
  echo "== the demo runs the x86_64 launcher: $why"
else
  arch=i686
  echo "== the demo runs the shipped 32-bit launcher (i686, $(quor_wine32_mode_text))"
fi
if [ -z "${QUOR_DEMO_NO_BUILD:-}" ]; then
  bash "$repo/scripts/build.sh" host "$arch"
fi

echo "== packing the sample payload"
rm -rf "$box/payload" "$box/temp" "$box/received.txt" "$box/dialog.bmp"
mkdir -p "$box/payload" "$box/temp" "$out"
cp -r "$repo/tests/e2e/payload/." "$box/payload/"
# The sample installation program: it records what it received.
cp "$build/$arch/tests/e2e/dummysetup.exe" "$box/payload/setup.exe"
"$out/host/artwork" --splash "$demo/splash.bmp"
"$out/host/sfxpack" --stub "$out/$arch/QuorSFX.exe" --from "$box/payload" --setup setup \
    --splash "$demo/splash.bmp" -o "$box/QuorDemoSetup.exe"
cp "$out/$arch/e2edriver.exe" "$box/e2edriver.exe"
ls -l "$box/QuorDemoSetup.exe"

# Xvfb (when there is no display) and Wine's processes end with the demo.
. "$repo/cmake/xvfb.sh"
quor_xvfb_own "$demo"

echo "== running QuorDemoSetup.exe ($arch) /w under Wine"
run_log="$demo/run.log"
QUOR_WINE_ROOT="$demo" QUOR_TEST_TIMEOUT=180 bash "$repo/cmake/wine-run.sh" "$box/e2edriver.exe" \
    --timeout 150000 --capture 'S:\dialog.bmp' \
    --env 'TMP=S:\temp' --env 'TEMP=S:\temp' \
    --env 'QUOR_DUMMY_RECORD=S:\received.txt' --env 'QUOR_DUMMY_EXIT=0' \
    'S:\QuorDemoSetup.exe' /w | tee "$run_log"

echo "== extracted files (S: is $box)"
(cd "$box/temp" && find . -type f | sort)
echo "== what the installation program received"
if [ -f "$box/received.txt" ]; then cat "$box/received.txt"; else echo "(nothing: it was not started)"; fi
echo "== exit code"
grep '^exit code:' "$run_log" || echo "(none: the run did not end)"
if [ -f "$box/dialog.bmp" ]; then
  convert "$box/dialog.bmp" "$out/demo-dialog.png"
  echo "== picture of the progress dialog: out/demo-dialog.png"
fi
