# Xvfb for a build tree (sourced by cmake/wine-run.sh, scripts/test.sh and
# scripts/demo.sh). The Wine runs of one command share one Xvfb, and it is
# stopped when that command ends: its pid and display number are kept in the
# build tree (ROOT/.xvfb-pid, .xvfb-display, .xvfb-owner, .xvfb-watch), and a
# watcher stops it once the owning process has gone, however that process
# ended.
#
#   quor_xvfb_start ROOT OWNER_PID LOG   sets QUOR_XVFB_DISPLAY (":N"); keeps
#                                        ROOT's running Xvfb or starts one
#   quor_xvfb_stop ROOT [OWNER_PID]      stops ROOT's Xvfb, if it runs (and,
#                                        with OWNER_PID, belongs to it), and
#                                        the Wine processes of ROOT/wineprefix
#   quor_xvfb_own ROOT                   makes this shell the owner: ROOT's
#                                        Xvfb and Wine processes end with it,
#                                        also when it fails or is interrupted

QUOR_XVFB_LIB="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/xvfb.sh"

# The pid of ROOT's running Xvfb; fails when there is none.
quor_xvfb_pid() {
  local pid
  pid=$(cat "$1/.xvfb-pid" 2>/dev/null) || return 1
  [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ] || return 1
  echo "$pid"
}

quor_xvfb_start() {
  local root=$1 owner=$2 log=$3 fifo n
  # Shared while its owner lives; one whose owner has gone is about to be
  # stopped by its watcher, so it is stopped now and a new one started.
  if quor_xvfb_pid "$root" >/dev/null && [ -s "$root/.xvfb-display" ] &&
     kill -0 "$(cat "$root/.xvfb-owner" 2>/dev/null)" 2>/dev/null; then
    QUOR_XVFB_DISPLAY=":$(cat "$root/.xvfb-display")"
    return 0
  fi
  quor_xvfb_stop "$root"
  fifo=$(mktemp -u "$root/.xvfb-fd.XXXX")
  mkfifo "$fifo"
  # In a session of its own, so that a Ctrl-C meant for the tests does not
  # reach it; fd 9 (the caller's lock) is not inherited.
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" </dev/null >>"$log" 2>&1 9>&- &
  echo $! >"$root/.xvfb-pid"
  echo "$owner" >"$root/.xvfb-owner"
  read -r n <"$fifo"
  rm -f "$fifo"
  echo "$n" >"$root/.xvfb-display"
  QUOR_XVFB_DISPLAY=":$n"
  # The watcher: waits for the owner, then stops the Xvfb, unless a later
  # command has taken the tree's display over in the meantime.
  setsid bash -c '
    while kill -0 "$1" 2>/dev/null; do sleep 1; done
    . "$2"
    quor_xvfb_stop "$3" "$1"' quor-xvfb-watch "$owner" "$QUOR_XVFB_LIB" "$root" \
    </dev/null >/dev/null 2>&1 9>&- &
  echo $! >"$root/.xvfb-watch"
}

QUOR_WINESERVER=/usr/lib/wine/wineserver64
[ -x "$QUOR_WINESERVER" ] || QUOR_WINESERVER=/usr/lib/wine/wineserver

quor_xvfb_own() {
  QUOR_XVFB_OWNED_ROOT=$1
  export QUOR_DISPLAY_OWNER=$$
  trap quor_xvfb_end_owned EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP
}

quor_xvfb_end_owned() {
  WINEPREFIX="$QUOR_XVFB_OWNED_ROOT/wineprefix" "$QUOR_WINESERVER" -k 2>/dev/null || true
  quor_xvfb_stop "$QUOR_XVFB_OWNED_ROOT"
}

quor_xvfb_stop() {
  local root=$1 owner=${2:-} pid i
  if [ -n "$owner" ] && [ "$(cat "$root/.xvfb-owner" 2>/dev/null)" != "$owner" ]; then
    return 0
  fi
  if pid=$(quor_xvfb_pid "$root"); then
    # Wine's processes of the tree's prefix (its desktop among them) live on
    # this display: they end first, so that the next run starts afresh.
    WINEPREFIX="$root/wineprefix" "$QUOR_WINESERVER" -k 2>/dev/null || true
    kill "$pid" 2>/dev/null || true
    for i in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
  # Its watcher has nothing left to do (unless this is the watcher).
  pid=$(cat "$root/.xvfb-watch" 2>/dev/null) || pid=
  if [ -n "$pid" ] && [ "$pid" != $$ ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = bash ]; then
    kill -- "-$pid" 2>/dev/null || true   # its session: the loop and its sleep
  fi
  rm -f "$root/.xvfb-pid" "$root/.xvfb-display" "$root/.xvfb-owner" "$root/.xvfb-watch"
}
