#!/usr/bin/env bash
# Runs one Windows program under Wine, safely and bounded: an x86_64 program
# under wine64, a 32-bit (i686) one under Debian's 32-bit loader.
#
#   wine-run.sh PROGRAM.exe [ARGS...]
#
# - A 32-bit program runs natively or emulated by qemu-user (cmake/wine-arch.sh);
#   on a machine that can do neither (no 32-bit Wine, or no 32-bit execution
#   and no qemu-user) it is not run: the script says why and ends with 77,
#   which the test entries report as skipped.
# - QUOR_TIME_FACTOR tells the program by how much its bounds on elapsed time
#   grow (3 for a 32-bit program under emulation, else 1).
# - A private Wine prefix lives in the build tree (QUOR_WINE_ROOT, default: the
#   nearest folder above PROGRAM that holds CMakeCache.txt): ROOT/wineprefix.
# - The prefix maps no drive to the host's root: its z: link is removed and
#   drive S: is the sandbox folder ROOT/sandbox, where test programs and their
#   files live. The Wine user's shell folders are plain folders, not links
#   into the host's home.
# - One persistent wineserver serves the run; Xvfb is started when there is no
#   display (cmake/xvfb.sh), shared by the programs of one ctest run and
#   stopped when that run (or QUOR_DISPLAY_OWNER, or this program) ends.
#   Every program is bounded by QUOR_TEST_TIMEOUT seconds (default 300).
# - The exit code is the program's, cut to 8 bits by Wine.
# - QUOR_WINEDEBUG sets Wine's debug channels (default: none), for example
#   +loaddll to see which DLLs a program loads and from where.
set -u
prog=${1:?usage: wine-run.sh PROGRAM.exe [ARGS...]}
shift
# An absolute path lets Wine name the program by its drive (S:\bin\x.exe)
# rather than by a \\?\unix\ path.
case "$prog" in /*) ;; */*) prog="$(cd "$(dirname "$prog")" && pwd)/$(basename "$prog")" ;; esac

WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
. "$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh"
WINE64=$QUOR_WINE64
LOADER=$QUOR_WINE64
machine=$(quor_pe_machine "$prog")
mode=$(quor_wine32_mode)
if [ "$machine" = 014c ]; then
  if [ "$mode" = unavailable ]; then
    echo "wine-run: skipped: $(quor_wine32_missing)" >&2
    exit 77
  fi
  LOADER=$QUOR_WINE32
fi
# Every Wine process of an emulated machine needs qemu's reservation, wine64's
# too: wineboot and 64-bit programs start 32-bit ones.
quor_wine_env "$mode"
# Bounds on elapsed time in the tests grow by this factor (read by the programs).
export QUOR_TIME_FACTOR=$(quor_time_factor "$mode" "$machine")

find_root() {
  local d
  d=$(cd "$(dirname "$prog")" 2>/dev/null && pwd) || return 1
  while [ "$d" != "/" ]; do
    [ -f "$d/CMakeCache.txt" ] && { echo "$d"; return 0; }
    d=$(dirname "$d")
  done
  return 1
}
ROOT=${QUOR_WINE_ROOT:-$(find_root)} || { echo "wine-run: cannot find the build folder of $prog" >&2; exit 125; }
mkdir -p "$ROOT/sandbox" "$ROOT/winehome"
ROOT=$(cd "$ROOT" && pwd)

export WINEPREFIX="$ROOT/wineprefix"
export WINEDEBUG=${QUOR_WINEDEBUG:--all}
export HOME="$ROOT/winehome"
export WINEARCH=win64
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
unset WINELOADER WINESERVER_ARGS

log="$ROOT/wine-run.log"

. "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

# The process whose end stops an Xvfb started here: QUOR_DISPLAY_OWNER when
# the caller names one (the demo, the test command), else the ctest run this
# program belongs to (one display for the whole run), else this run alone.
display_owner() {
  if [ -n "${QUOR_DISPLAY_OWNER:-}" ]; then echo "$QUOR_DISPLAY_OWNER"; return; fi
  local pid=$PPID
  while [ -n "$pid" ] && [ "$pid" -gt 1 ]; do
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = ctest ] && { echo "$pid"; return; }
    pid=$(awk '/^PPid:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
  done
  echo $$
}

start_display() {
  # Keep a usable display, or use the build tree's Xvfb (started when none runs).
  if [ -n "${DISPLAY:-}" ] && [ -z "${QUOR_FORCE_XVFB:-}" ]; then return 0; fi
  quor_xvfb_start "$ROOT" "$(display_owner)" "$log"
  export DISPLAY=$QUOR_XVFB_DISPLAY
}

init_prefix() {
  # A prefix made before the 32-bit Wine was installed cannot run 32-bit
  # programs: it is made anew for one.
  if [ -f "$WINEPREFIX/.quor-ready" ]; then
    [ "$LOADER" != "$QUOR_WINE32" ] && return 0
    grep -qx with-wine32 "$WINEPREFIX/.quor-ready" && return 0
  fi
  rm -rf "$WINEPREFIX"
  "$WINE64" wineboot -i </dev/null >>"$log" 2>&1 9>&-
  "$WINESERVER" -w
  # No drive may reach the host's file system: drop z: (and any other link
  # outside the build tree) and map S: to the sandbox.
  local link target
  for link in "$WINEPREFIX"/dosdevices/*; do
    [ -L "$link" ] || continue
    case "$(basename "$link")" in c:) continue ;; esac
    target=$(readlink -f "$link" || true)
    case "$target" in "$ROOT"/*) ;; *) rm -f "$link" ;; esac
  done
  ln -sfn "$ROOT/sandbox" "$WINEPREFIX/dosdevices/s:"
  # Shell folders (Desktop, Documents, ...) are links into $HOME: make them plain folders.
  find "$WINEPREFIX/drive_c/users" -maxdepth 2 -type l | while read -r link; do
    rm -f "$link" && mkdir -p "$link"
  done
  # No crash dialog: a crashing test must end, not wait for a person.
  "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >>"$log" 2>&1 9>&-
  "$WINESERVER" -w
  if [ "$mode" = unavailable ]; then
    echo without-wine32 >"$WINEPREFIX/.quor-ready"
  else
    echo with-wine32 >"$WINEPREFIX/.quor-ready"
  fi
}

# A display of this run alone ends with it (its watcher is the fallback).
stop_own_display() {
  exec 8>"$ROOT/.wine.lock"
  flock 8
  quor_xvfb_stop "$ROOT" $$
}
if [ "$(display_owner)" = $$ ]; then
  trap stop_own_display EXIT
fi

(
  flock 9
  start_display
  echo "${DISPLAY:-}" >"$ROOT/.display-in-use"
  init_prefix
  # One persistent wineserver for the run; it ends itself 120 s after the last program.
  "$WINESERVER" -p120 </dev/null >>"$log" 2>&1 9>&- || true
  # Start Wine's own services now, with their output in the log.
  "$WINE64" cmd /c exit </dev/null >>"$log" 2>&1 9>&- || true
) 9>"$ROOT/.wine.lock"
export DISPLAY=$(cat "$ROOT/.display-in-use")
[ -n "$DISPLAY" ] || unset DISPLAY

limit=${QUOR_TEST_TIMEOUT:-300}
# Wine's helper processes (services, explorer, ...) outlive the program and
# would keep an inherited stdout pipe open, so the caller (ctest) would wait
# for them: the program writes to files, which are shown when it has ended.
outdir=$(mktemp -d "$ROOT/.run.XXXXXX")
# Start inside the sandbox drive, so the current folder is S:\..., not a host path.
case "$prog" in "$ROOT/sandbox"/*) cd "$(dirname "$prog")" ;; *) cd "$ROOT/sandbox" ;; esac
# timeout runs the program in a process group of its own, which a Ctrl-C does
# not reach: an interrupt of this script is passed on to it.
timeout --kill-after=10 "$limit" "$LOADER" "$prog" "$@" </dev/null >"$outdir/out" 2>"$outdir/err" &
child=$!
trap 'kill -TERM "$child" 2>/dev/null' INT TERM HUP
while :; do
  wait "$child"
  rc=$?
  kill -0 "$child" 2>/dev/null || break
done
trap - INT TERM HUP
cat "$outdir/out"
cat "$outdir/err" >&2
rm -rf "$outdir"
[ $rc -eq 124 ] && echo "wine-run: $prog did not end within $limit s" >&2
# 77 means "skipped" to the test entries, and only this script says that: a
# program that ends with it (or with a crash code cut to it) has failed.
if [ $rc -eq 77 ]; then
  echo "wine-run: $prog ended with exit code 77 (taken as a failure, not a skip)" >&2
  rc=1
fi
exit $rc
