#!/usr/bin/env bash
# Installs what is missing, builds everything and runs all tests through ctest,
# once for each Windows build: its x86_64 twin (under wine64) and the shipped
# 32-bit program (i686, under the 32-bit Wine: natively, or emulated by
# qemu-user where the kernel runs no 32-bit code; cmake/wine-arch.sh). Each
# build tree has its own private, sandboxed Wine prefix, and Xvfb when there is
# no display. Extra arguments go to both ctest runs (for example -R extract).
# QUOR_TEST_ARCHS names the builds to test (default: "x86_64 i686").
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
bash "$repo/scripts/setup.sh"
bash "$repo/scripts/build.sh" all

. "$repo/cmake/wine-arch.sh"
# How each build's programs run, said before its tests and in the summary.
run_mode() {
  if [ "$1" = x86_64 ]; then
    echo "native"
  else
    local mode
    mode=$(quor_wine32_mode)
    if [ "$mode" = emulated ]; then
      echo "$(quor_wine32_mode_text); bounds on elapsed time x$(quor_time_factor emulated 014c)"
    else
      quor_wine32_mode_text
    fi
  fi
}

status=0
results=()
for arch in ${QUOR_TEST_ARCHS:-x86_64 i686}; do
  tree="$repo/build/$arch"
  mode=$(run_mode "$arch")
  echo "== tests of the $arch build ($mode)"
  rm -f "$tree/ctest-results.xml"
  # The tests of one build share one Xvfb (when there is no display); it and
  # Wine's processes end with this run, also when it fails or is interrupted.
  (
    cd "$tree"
    . "$repo/cmake/xvfb.sh"
    quor_xvfb_own "$tree"
    ctest --output-on-failure -j 4 --output-junit "$tree/ctest-results.xml" "$@"
  ) || status=$?
  results+=("$arch ($mode)=$tree/ctest-results.xml")
done

# One closing line for both builds (a skipped entry is never counted as passed).
python3 - "${results[@]}" <<'PY'
import sys, xml.etree.ElementTree as ET
total = {"passed": 0, "failed": 0, "skipped": 0}
for arg in sys.argv[1:]:
    arch, path = arg.rsplit("=", 1)
    counts = {"passed": 0, "failed": 0, "skipped": 0}
    try:
        cases = ET.parse(path).getroot().iter("testcase")
    except (OSError, ET.ParseError):
        print(f"{arch}: no results (the run did not finish)")
        total["failed"] += 1
        continue
    for case in cases:
        status = case.get("status")
        if status == "run":
            counts["passed"] += 1
        elif status in ("fail",) or case.find("failure") is not None:
            counts["failed"] += 1
        else:
            counts["skipped"] += 1
    print(f"{arch}: {counts['passed']} passed, {counts['failed']} failed, {counts['skipped']} skipped")
    for k in total:
        total[k] += counts[k]
print(f"tests: {total['passed']} passed, {total['failed']} failed, {total['skipped']} skipped")
PY
exit $status
