#!/usr/bin/env bash
# The TinyXML fetch on a mirror caught in mid-sync: every "apt-get update"
# fails (as when one index has the wrong size); the fetch goes on and ends well
# when "apt-get source" still gives the sources, and fails, saying so, when it
# gives none or fails half-way (a patch that did not apply), keeping nothing.
# apt-get, sudo and sleep are stand-ins on PATH (so a run as another user than
# root never reaches the machine's apt); nothing of its apt configuration is
# touched.
#   fetch-tinyxml-test.sh REPO WORKDIR
set -u
repo=$1 work=$2
rm -rf "$work" && mkdir -p "$work/bin" "$work/etc/sources.list.d"
cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
case " $* " in
  *" update "*) echo "E: Failed to fetch .../i386/Packages.xz  File has unexpected size" >&2; exit 100 ;;
  *" source "*) [ -n "${STUB_NO_SOURCES:-}" ] && { echo "E: Unable to find a source package for tinyxml" >&2; exit 100; }
                mkdir -p tinyxml-2.6.2 && echo "// tinyxml" >tinyxml-2.6.2/tinyxml.cpp
                if [ -n "${STUB_PATCH_FAILS:-}" ]; then echo "dpkg-source: error: patch returned exit status 1" >&2; exit 2; fi ;;
esac
STUB
printf '#!/bin/sh\n' >"$work/bin/sleep"
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/apt-get" "$work/bin/sleep" "$work/bin/sudo"

fetch() {
  rm -f "$work"/etc/sources.list.d/*
  PATH="$work/bin:$PATH" QUOR_APT_ETC="$work/etc" QUOR_DEPS_DIR="$work/deps" \
    bash "$repo/scripts/fetch-tinyxml.sh" >"$work/out.txt" 2>&1
}
status=0
STUB_NO_SOURCES=1 fetch && { echo "not ok: no sources, yet the fetch ended well"; status=1; }
grep -q "gave no sources" "$work/out.txt" || { echo "not ok: no word of the missing sources"; status=1; }
STUB_PATCH_FAILS=1 fetch && { echo "not ok: a failed apt-get source ended well"; status=1; }
[ -z "$(ls -A "$work/deps" 2>/dev/null)" ] || { echo "not ok: a failed apt-get source left $(ls -A "$work/deps")"; status=1; }
fetch || { echo "not ok: the failed update ended the fetch"; cat "$work/out.txt"; status=1; }
[ -f "$work/deps/tinyxml/tinyxml.cpp" ] || { echo "not ok: the sources are not in place"; status=1; }
grep -q "apt-get update failed (try 3 of 3)" "$work/out.txt" || { echo "not ok: the update was not tried again"; status=1; }
[ $status -eq 0 ] && echo "ok: the fetch goes on past a failed index and fails only without sources"
exit $status
