#!/usr/bin/env bash
# Runs the whole-run tests that need small drives of their own (SmallDrive.*):
#  - a 16 MiB tmpfs as drive T:, whose free space nothing else changes;
#  - a tmpfs inside the sandbox just large enough for the spool of the test
#    payload (the sum of its files) and half of its largest file, so the
#    copy-out of the member files runs out of space.
# Mounting needs root. Both are unmounted, and the drive letter removed, on
# every way out. Without mount the run is reported as skipped (exit 77).
#
#   run-small-drives.sh WINE_RUN BUILD_DIR TEST_EXE PAYLOAD_DIR
set -u
wine_run=$1 build=$2 test_exe=$3 payload=$4
sandbox=$build/sandbox
prefix=$build/wineprefix
base=$sandbox/smalldrives-$$
space=$base/space
full=$base/full
drive_link=$prefix/dosdevices/t:

cleanup() {
  rm -f "$drive_link"
  for m in "$space" "$full"; do
    if mountpoint -q "$m" 2>/dev/null; then
      umount "$m" 2>/dev/null || umount -l "$m"
    fi
  done
  rm -rf "$base"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# What a run that was killed (and so could not clean up) left behind.
for old in "$sandbox"/smalldrives-*; do
  [ -d "$old" ] || continue
  for m in "$old/space" "$old/full"; do
    if mountpoint -q "$m" 2>/dev/null; then umount "$m" 2>/dev/null || umount -l "$m"; fi
  done
  rm -rf "$old"
done
case "$(readlink "$drive_link" 2>/dev/null)" in "$sandbox"/smalldrives-*) rm -f "$drive_link" ;; esac

mkdir -p "$space" "$full"
if ! mount -t tmpfs -o size=16m tmpfs "$space" 2>/dev/null; then
  echo "SKIP: cannot mount a tmpfs (needs root): the small-drive tests did not run" >&2
  exit 77
fi
# Pages of 4 KiB: the spool (all file data) plus half of the largest file.
total=0 largest=0
while read -r size; do
  total=$((total + size))
  [ "$size" -gt "$largest" ] && largest=$size
done < <(find "$payload" -type f -printf '%s\n')
bytes=$(( (total + largest / 2 + 4095) / 4096 * 4096 ))
mount -t tmpfs -o size=$bytes tmpfs "$full" || { echo "cannot mount the second tmpfs" >&2; exit 1; }
echo "small drives: T: 16 MiB; full folder $bytes bytes (payload $total, largest file $largest)"

# The prefix must be ready for this program before a drive letter is added
# to it (a run makes it so, or ends with 77 where the program cannot run).
"$wine_run" "$test_exe" --gtest_list_tests >/dev/null
[ $? -eq 77 ] && exit 77
[ -e "$drive_link" ] && { echo "drive T: of the test prefix is taken" >&2; exit 1; }
ln -s "$space" "$drive_link"

rel=${full#"$sandbox"/}
QUOR_E2E_SPACE_DRIVE='T:\' QUOR_E2E_FULL_FOLDER="S:\\${rel//\//\\}\\" \
  "$wine_run" "$test_exe" --gtest_filter='SmallDrive.*'
