#!/usr/bin/env bash
# Fetches Debian's TinyXML 2.6.2 source package (with the packaging's patches
# applied) into <repo>/.deps/, where cmake/TinyXml.cmake cross-compiles it for
# the Windows builds. Adds a deb-src entry when the machine has none.
# Safe to run again: it does nothing when the sources are already there.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
# Other places for the sources and for apt's configuration (tests).
deps=${QUOR_DEPS_DIR:-$repo/.deps}
apt_etc=${QUOR_APT_ETC:-/etc/apt}
marker="$deps/tinyxml/tinyxml.cpp"

if [ -f "$marker" ]; then
  echo "fetch-tinyxml: sources present in $deps/tinyxml"
  exit 0
fi

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
. "$(dirname "$0")/apt-lists.sh"

command -v dpkg-source >/dev/null || {
  echo "fetch-tinyxml: installing dpkg-dev"
  quor_apt_update fetch-tinyxml
  $SUDO apt-get install -y -qq dpkg-dev >/dev/null
}

# Does any enabled source list carry a deb-src entry?
has_deb_src() {
  local f
  for f in "$apt_etc/sources.list" "$apt_etc"/sources.list.d/*.list; do
    [ -f "$f" ] && grep -Eq '^[[:space:]]*deb-src[[:space:]]' "$f" && return 0
  done
  for f in "$apt_etc"/sources.list.d/*.sources; do
    [ -f "$f" ] && grep -Eiq '^[[:space:]]*Types:.*deb-src' "$f" && return 0
  done
  return 1
}

if ! has_deb_src; then
  list=$apt_etc/sources.list.d/quor-deb-src.sources
  echo "fetch-tinyxml: adding source entry $list"
  # Take the suite from the running system (bookworm on the build machines).
  codename=bookworm
  if [ -r /etc/os-release ]; then
    # shellcheck disable=SC1091
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  fi
  keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  {
    echo "Types: deb-src"
    echo "URIs: http://deb.debian.org/debian"
    echo "Suites: $codename $codename-updates"
    echo "Components: main"
    [ -f "$keyring" ] && echo "Signed-By: $keyring"
    echo
    echo "Types: deb-src"
    echo "URIs: http://deb.debian.org/debian-security"
    echo "Suites: $codename-security"
    echo "Components: main"
    [ -f "$keyring" ] && echo "Signed-By: $keyring"
  } | $SUDO tee "$list" >/dev/null
  quor_apt_update fetch-tinyxml --again
fi

# Nothing of a failed fetch stays in $deps: the work folder goes on every
# exit, and so does $deps itself when this run made it.
[ -d "$deps" ] || made_deps=1
mkdir -p "$deps"
work=$(mktemp -d "$deps/.tinyxml.XXXXXX")
trap 'rm -rf "$work"; [ -z "${made_deps:-}" ] || [ -f "$marker" ] || rmdir "$deps" 2>/dev/null || true' EXIT
# As root, apt downloads as its own _apt user: let it write the download folder.
if [ "$(id -u)" -eq 0 ] && id _apt >/dev/null 2>&1; then
  chown _apt "$work"
fi
# apt-get source runs dpkg-source -x, which applies Debian's patch series in
# place: when a patch or the disk fails it leaves an unpatched or partial tree
# behind. Only a whole success counts. The lists may be incomplete (a failed
# index above): then apt-get says here what it could not get.
src=
if (cd "$work" && apt-get source -qq tinyxml >/dev/null); then
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'tinyxml-*' | head -n1)
fi
if [ -z "$src" ] || [ ! -f "$src/tinyxml.cpp" ]; then
  echo "fetch-tinyxml: apt-get source tinyxml failed or gave no sources: the Windows programs cannot be built without TinyXML (check the deb-src entries in $apt_etc and the package mirror)" >&2
  exit 1
fi
rm -rf "$deps/tinyxml"
mv "$src" "$deps/tinyxml"
echo "fetch-tinyxml: sources in $deps/tinyxml"
