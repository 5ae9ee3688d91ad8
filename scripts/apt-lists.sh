# Refreshing Debian's package lists, one way for every set-up script (sourced).
#
#   quor_apt_update WHO           refreshes once per set-up (QUOR_APT_UPDATED)
#   quor_apt_update WHO --again   refreshes again, after a source entry was added
#
# A mirror caught in mid-sync serves an index of the wrong size now and then,
# and apt-get update then fails as a whole. It is tried three times; after
# that the set-up goes on with what was read, since most packages (and the
# sources) do not need the index that failed: apt-get install or source says
# what it cannot get, and the caller decides what that means.
quor_apt_update() {
  local who=$1 try
  if [ "${2:-}" != --again ] && [ -n "${QUOR_APT_UPDATED:-}" ]; then return 0; fi
  export QUOR_APT_UPDATED=1
  for try in 1 2 3; do
    ${SUDO:-} apt-get update -qq && return 0
    echo "$who: apt-get update failed (try $try of 3)" >&2
    if [ $try -lt 3 ]; then sleep $((try * 5)); fi
  done
  echo "$who: going on with the package lists as far as they were read" >&2
  return 0
}
