# Which Wine loader runs a Windows program, and how (sourced by
# cmake/wine-run.sh, scripts/setup.sh, scripts/test.sh and scripts/demo.sh):
# x86_64 programs run under wine64, 32-bit (i686) ones under Debian's 32-bit
# loader, in the same kind of prefix.
#
# A 32-bit program runs in one of three modes:
#   native       the kernel executes 32-bit code itself
#   emulated     the kernel runs no 32-bit code; qemu-user, registered for
#                i386 programs through binfmt_misc (scripts/setup.sh does
#                this), runs the 32-bit Wine. Every Wine run then needs
#                QEMU_RESERVED_VA (below), and bounds on elapsed time in the
#                tests are scaled by QUOR_TIME_FACTOR.
#   unavailable  neither: 32-bit programs are not run (the tests report them
#                as skipped, with the reason)
#
#   quor_pe_machine FILE    the machine field of a PE file: 014c (i386), 8664 (x86_64)
#   quor_wine32_mode        prints native, emulated or unavailable
#   quor_wine32_mode_text   the mode in words, with its reason
#   quor_wine32_missing     says why this machine cannot run 32-bit programs
#                           (and succeeds), or fails when it can
#   quor_wine_env MODE      exports what every Wine run needs in that mode
#   quor_time_factor MODE MACHINE   the factor for bounds on elapsed time

QUOR_WINE64=/usr/lib/wine/wine64
QUOR_WINE32=/usr/lib/wine/wine
QUOR_BINFMT_DIR=/proc/sys/fs/binfmt_misc
# qemu-user's guest address space. Without a reservation 32-bit Wine cannot
# map its shared user data and every program ends at once; the full 4 GiB
# (0xffff0000) makes each start take about 50 s, as Wine's reservations of the
# upper half cannot be placed; 2 GiB starts a program in about 3 s.
QUOR_QEMU_RESERVED_VA=0x7fff0000
# The one factor by which the tests' bounds on elapsed time grow under emulation.
QUOR_EMULATED_TIME_FACTOR=3

quor_pe_machine() {
  local at
  at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$at" ] || return 1
  od -An -tx2 -j$((at + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}

# The enabled binfmt_misc entry that hands i386 programs to qemu-user, if any.
quor_qemu_i386_entry() {
  local entry
  for entry in "$QUOR_BINFMT_DIR"/*; do
    [ -f "$entry" ] || continue
    case "$(basename "$entry")" in register|status) continue ;; esac
    grep -qx enabled "$entry" 2>/dev/null || continue
    grep -q '^interpreter .*qemu-i386' "$entry" 2>/dev/null || continue
    grep -qx 'magic 7f454c4601010100000000000000000002000300' "$entry" 2>/dev/null || continue
    echo "$entry"
    return 0
  done
  return 1
}

quor_wine32_mode() {
  if [ ! -x "$QUOR_WINE32" ]; then
    echo unavailable
  elif quor_qemu_i386_entry >/dev/null; then
    # binfmt_misc is asked before the kernel's own ELF loader.
    if QEMU_RESERVED_VA=$QUOR_QEMU_RESERVED_VA "$QUOR_WINE32" --version >/dev/null 2>&1; then
      echo emulated
    else
      echo unavailable
    fi
  elif "$QUOR_WINE32" --version >/dev/null 2>&1; then
    echo native
  else
    echo unavailable
  fi
}

quor_wine32_mode_text() {
  case "$(quor_wine32_mode)" in
    native) echo "native: the kernel runs 32-bit code" ;;
    emulated) echo "emulated by qemu-user: the kernel runs no 32-bit code" ;;
    *) echo "not run: $(quor_wine32_missing)" ;;
  esac
}

quor_wine32_missing() {
  case "$(quor_wine32_mode)" in native | emulated) return 1 ;; esac
  if [ ! -x "$QUOR_WINE32" ]; then
    echo "there is no 32-bit Wine ($QUOR_WINE32; scripts/setup.sh installs wine32:i386)"
  elif quor_qemu_i386_entry >/dev/null; then
    echo "the 32-bit Wine does not start under the qemu-user registered for i386 programs ($(quor_qemu_i386_entry))"
  else
    echo "this machine does not execute 32-bit code (the kernel's 32-bit emulation is off) and no qemu-user is registered for i386 programs (scripts/setup.sh registers it where binfmt_misc can be mounted and written)"
  fi
}

quor_wine_env() {
  [ "$1" = emulated ] && export QEMU_RESERVED_VA=$QUOR_QEMU_RESERVED_VA
  return 0
}

# The factor for the bounds on elapsed time of a program of that PE machine.
quor_time_factor() {
  if [ "$2" = 014c ] && [ "$1" = emulated ]; then
    echo "$QUOR_EMULATED_TIME_FACTOR"
  else
    echo 1
  fi
}
