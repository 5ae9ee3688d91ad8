#!/usr/bin/env bash
# A package saved into a folder that also holds DLLs named like the system DLLs
# the launcher loads: with Windows' search order for those names (the
# program's own folder first), none of the planted DLLs runs. A control
# program that imports one of them at load time, beside the same DLLs, does
# load its planted one, so the test can fail.
#
#   planted-dlls.sh WINE_RUN LAUNCHER CONTROL MARKER_DLL OBJDUMP KNOWN_DLLS SANDBOX
# KNOWN_DLLS: comma-separated KnownDLL names (never planted: Windows always
# takes them from its system folder).
set -u
wine_run=$1 launcher=$2 control=$3 marker=$4 objdump=$5 known=$6 sandbox=$7
box=$sandbox/tmp/planted-dlls
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

pe_format() { "$objdump" -f "$1" 2>/dev/null | sed -n 's/.*file format //p' | head -1; }

# Wine's own DLLs of the launcher's architecture, to follow the imports of the
# system DLLs under Wine. Found by what they hold: with both Wines installed,
# some folders named for one architecture hold only a stray DLL or two.
format=$(pe_format "$launcher")
wine_dlls=
for d in /usr/lib/*/wine/*-windows /usr/lib/wine/*-windows; do
  [ -f "$d/kernel32.dll" ] && [ -f "$d/user32.dll" ] || continue
  [ "$(pe_format "$d/kernel32.dll")" = "$format" ] && { wine_dlls=$d; break; }
done
[ -n "$wine_dlls" ] || { echo "FAIL: Wine's DLL folder for $format programs not found" >&2; exit 1; }

static_imports() {  # lower-case DLL names of a PE file's load-time import table
  "$objdump" -p "$1" 2>/dev/null | awk '/^The Import Tables/{on=1; next} /^The |^PE File Base/{on=0}
    on && /DLL Name:/{print tolower($3)}'
}

# Runs one program of the box with the given overrides and Wine's loader
# trace; keeps the trace lines of the program's own process in $box/trace.txt.
traced_run() {  # overrides program args...
  local overrides=$1 program=$2; shift 2
  WINEDLLOVERRIDES=$overrides QUOR_WINEDEBUG=+pid,+loaddll,+module QUOR_TEST_TIMEOUT=120 \
    bash "$wine_run" "$box/$program" "$@" >"$box/run-out.txt" 2>"$box/run-err.txt"
  local rc=$?
  if [ $rc -eq 77 ]; then cat "$box/run-err.txt" >&2; exit 77; fi   # the machine cannot run it
  [ $rc -eq 0 ] || fail "$program ended with $rc"
  local pid
  pid=$(grep -i "loaddll.*Loaded L\".*\\\\$program\"" "$box/run-err.txt" | head -1 | cut -d: -f1)
  [ -n "$pid" ] || fail "no loader trace of $program"
  grep "^$pid:" "$box/run-err.txt" | tr 'A-Z' 'a-z' >"$box/trace.txt"
  rm -f "$box/run-err.txt"
}

rm -rf "$box"
mkdir -p "$box"
cp "$launcher" "$box/quor.exe"
cp "$control" "$box/control.exe"
unpack='/UFPATH=S:\tmp\planted-dlls\unpack\'

# 1. The DLLs a whole run of the launcher loads (dialog, extraction, setup start).
traced_run "" quor.exe "$unpack"
grep -q 'loaddll.*loaded l".*winsxs\\\\[^"]*common-controls[^"]*6\.0[^"]*\\\\comctl32\.dll"' "$box/trace.txt" ||
  fail "the common controls do not come in version 6 (side by side)"

# Candidates: the launcher's own load-time imports, and every DLL loaded
# through the process's search path (by the launcher, or by a system DLL on
# its behalf). Left out are the loads that Wine makes by its own path: the
# imports of Wine's copies of the system DLLs and their delay-loads (uxtheme
# delay-loads msimg32, for example). Windows takes a KnownDLL's imports from
# the KnownDLLs and applies the program's restricted search to its own DLLs'
# delay-loads; Wine does neither, so those names cannot be given Windows'
# order here.
candidates="$(static_imports "$box/quor.exe") $(sed -n 's/.*load_dll looking for l"\([^"]*\)" in l".*/\1/p' "$box/trace.txt")"

# Wine's copies of the KnownDLLs the launcher imports import further DLLs
# (user32 takes version.dll, for example), which Wine looks for beside the
# program.
wine_closure=" "
queue=
for dll in $(static_imports "$box/quor.exe"); do
  case ",$known," in *",${dll%.dll},"*) queue="$queue $dll" ;; esac
done
while [ -n "$queue" ]; do
  next=
  for dll in $queue; do
    case "$wine_closure" in *" $dll "*) continue ;; esac
    wine_closure="$wine_closure$dll "
    [ -f "$wine_dlls/$dll" ] && next="$next $(static_imports "$wine_dlls/$dll")"
  done
  queue=$next
done

planted=
for dll in $candidates; do
  dll=${dll##*\\}
  case "$dll" in *.dll) ;; *) continue ;; esac
  case ",$known," in *",${dll%.dll},"*) continue ;; esac
  case "$wine_closure" in *" $dll "*) continue ;; esac
  case " $planted " in *" $dll "*) continue ;; esac
  planted="$planted $dll"
done
echo "planted beside the package:$planted"
case " $planted " in *" comctl32.dll "*) ;; *) fail "comctl32.dll is not among the DLLs the launcher loads" ;; esac

overrides=
for dll in $planted; do
  cp "$marker" "$box/$dll"
  overrides="${overrides:+$overrides,}${dll%.dll}"
done
overrides="$overrides=n,b"

# 2. The launcher beside the planted DLLs: none of them runs.
rm -rf "$box/unpack"
traced_run "$overrides" quor.exe "$unpack"
for ran in "$box"/*.ran; do
  [ -e "$ran" ] && fail "a planted DLL ran in the launcher: $(basename "${ran%.ran}")"
done
rm -f "$box"/*.ran

# 3. The control, which imports comctl32 at load time, beside the same DLLs.
traced_run "$overrides" control.exe
# The marker is named as the importer spelled the DLL (COMCTL32.dll).
ls "$box" | grep -qi '^comctl32\.dll\.ran$' || fail "the control program did not load the planted comctl32.dll"

[ $status -eq 0 ] && rm -rf "$box"
exit $status
