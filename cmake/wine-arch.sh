# Which Wine loader runs a Windows program (sourced by cmake/wine-run.sh and
# scripts/demo.sh): x86_64 programs run under wine64, 32-bit (i686) ones under
# Debian's 32-bit loader, in the same kind of prefix.
#
#   quor_pe_machine FILE    the machine field of a PE file: 014c (i386), 8664 (x86_64)
#   quor_wine32_missing     says why this machine cannot run 32-bit programs
#                           (and succeeds), or fails when it can

QUOR_WINE64=/usr/lib/wine/wine64
QUOR_WINE32=/usr/lib/wine/wine

quor_pe_machine() {
  local at
  at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$at" ] || return 1
  od -An -tx2 -j$((at + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

quor_wine32_missing() {
  if [ ! -x "$QUOR_WINE32" ]; then
    echo "there is no 32-bit Wine ($QUOR_WINE32; scripts/setup.sh installs wine32:i386)"
  elif ! "$QUOR_WINE32" --version >/dev/null 2>&1; then
    echo "this machine does not execute 32-bit code ($QUOR_WINE32 cannot start; the kernel's 32-bit emulation is off)"
  else
    return 1
  fi
}
