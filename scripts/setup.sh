#!/usr/bin/env bash
# Installs what the build, the tests and the demo need (Debian, as root).
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build make python3
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine64 xvfb xauth x11-utils
  lzma-dev googletest libtinyxml-dev
  dpkg-dev imagemagick locales
)

# The shipped launcher is a 32-bit program: Debian's 32-bit Wine runs it
# (/usr/lib/wine/wine). It needs the i386 architecture in dpkg, and is
# installed on its own (below), so that the rest is there even when it
# cannot be installed.
wine32=wine32:i386

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture (32-bit Wine)"
  $SUDO dpkg --add-architecture i386
fi

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

. "$(dirname "$0")/apt-lists.sh"

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  quor_apt_update setup
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if ! installed "$wine32"; then
  echo "setup: installing $wine32"
  quor_apt_update setup
  # Its i386 libraries must be of the very versions of their amd64 twins: a
  # mirror that lacks those fails it. The rest works without it; the 32-bit
  # program's tests are then reported as skipped, with the reason.
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$wine32" >/dev/null ||
    echo "setup: $wine32 cannot be installed from this machine's package sources (apt-get's message above): the shipped 32-bit program cannot be run here" >&2
fi
if installed "$wine32"; then
  echo "setup: all packages present"
else
  echo "setup: all packages present but $wine32"
fi

# Where the kernel runs no 32-bit code, the 32-bit Wine runs under qemu-user,
# registered for i386 programs through binfmt_misc. Nothing is registered
# where 32-bit code runs natively: a binfmt_misc entry is asked before the
# kernel's own loader. The entry lasts until the machine restarts.
. "$(dirname "$0")/../cmake/wine-arch.sh"
if [ "$(quor_wine32_mode)" = unavailable ] && [ -x "$QUOR_WINE32" ]; then
  if ! installed qemu-user-static; then
    quor_apt_update setup
    # Without recommends: binfmt-support would register entries of its own.
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends qemu-user-static >/dev/null
  fi
  [ -e "$QUOR_BINFMT_DIR/register" ] ||
    $SUDO mount -t binfmt_misc binfmt_misc "$QUOR_BINFMT_DIR" 2>/dev/null || true
  if [ -w "$QUOR_BINFMT_DIR/register" ] && ! quor_qemu_i386_entry >/dev/null; then
    # i386 ELF executables and shared objects; F: the interpreter is opened now.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
      $SUDO tee "$QUOR_BINFMT_DIR/register" >/dev/null || true
  fi
  if [ "$(quor_wine32_mode)" = emulated ]; then
    echo "setup: the kernel runs no 32-bit code: 32-bit programs run under qemu-user ($(quor_qemu_i386_entry))"
  else
    echo "setup: 32-bit programs cannot run here: $(quor_wine32_missing)"
  fi
fi

# Host locales that tests run Wine under: without the host locale Wine cannot
# give files non-ASCII names (ja_JP: member names in code page 932).
locales_needed=(ja_JP.UTF-8)
generate=0
for l in "${locales_needed[@]}"; do
  if ! locale -a 2>/dev/null | grep -qix "$(echo "$l" | sed 's/UTF-8/utf8/')"; then
    $SUDO sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$l UTF-8" /etc/locale.gen || echo "$l UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    generate=1
  fi
done
if [ $generate -eq 1 ]; then
  echo "setup: generating locales ${locales_needed[*]}"
  $SUDO locale-gen >/dev/null
fi

# Sources of dependencies that are cross-compiled (not committed).
repo=$(cd "$(dirname "$0")/.." && pwd)
for fetch in "$repo"/scripts/fetch-*.sh; do
  [ -f "$fetch" ] && bash "$fetch"
done
echo "setup: done"
