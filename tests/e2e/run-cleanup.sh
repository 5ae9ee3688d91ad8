#!/usr/bin/env bash
# Runs the whole-run tests of "/CLEANUP" (CleanupEnd.*, ShareRoot.*) with the
# share \\quorsrv\sandbox mapped to the sandbox folder (drive S:). Wine maps
# a path \\server\share\... to WINEPREFIX/dosdevices/unc/server/share/...; the
# mapping is removed again on every way out.
#
#   run-cleanup.sh WINE_RUN BUILD_DIR TEST_EXE
set -u
wine_run=$1 build=$2 test_exe=$3
unc=$build/wineprefix/dosdevices/unc
link=$unc/quorsrv/sandbox

cleanup() {
  rm -f "$link"
  rmdir "$unc/quorsrv" "$unc" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The prefix must be ready for this program before a share is added to it (a
# run makes it so, or ends with 77 where the program cannot run).
"$wine_run" "$test_exe" --gtest_list_tests >/dev/null
rc=$?
[ $rc -eq 0 ] || exit $rc
[ -e "$link" ] && [ "$(readlink "$link")" != "$build/sandbox" ] && { echo "share quorsrv\\sandbox of the test prefix is taken" >&2; exit 1; }
mkdir -p "$unc/quorsrv"
ln -sfn "$build/sandbox" "$link"

QUOR_E2E_SHARE='\\quorsrv\sandbox\' "$wine_run" "$test_exe" --gtest_filter='CleanupEnd.*:ShareRoot.*'
rc=$?
exit $rc
