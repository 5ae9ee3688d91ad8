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
# (/usr/lib/wine/wine). It needs the i386 architecture in dpkg.
packages+=(wine32:i386)

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture (32-bit Wine)"
  $SUDO dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
echo "setup: all packages present"

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
