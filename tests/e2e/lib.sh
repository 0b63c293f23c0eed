# Shared steps of the end-to-end tests: a private X server, a private
# preferences folder, and waiting for the program's windows.
# Source it, then call e2e_start_xvfb. Everything is cleaned up on exit.

set -u

E2E_TMP=$(mktemp -d)
export XDG_CONFIG_HOME="$E2E_TMP/config"
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# Under LeakSanitizer, leave out what system libraries keep until exit.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/.ci/lsan.supp:print_suppressions=0"
E2E_XVFB_PID=
E2E_APP_PID=

e2e_cleanup() {
  [ -n "$E2E_APP_PID" ] && kill "$E2E_APP_PID" 2>/dev/null
  # Waited for, so that its display is free again when the next test starts.
  [ -n "$E2E_XVFB_PID" ] && kill "$E2E_XVFB_PID" 2>/dev/null && wait "$E2E_XVFB_PID" 2>/dev/null
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

e2e_fail() {
  echo "FAIL: $*" >&2
  if [ -s "$E2E_TMP/app.log" ]; then
    echo "--- program output:" >&2
    tail -n 80 "$E2E_TMP/app.log" >&2
  fi
  # So that a failure on a busy machine explains itself: was the X server
  # still there, and what did it say?
  if [ -n "$E2E_XVFB_PID" ]; then
    if kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
      echo "--- Xvfb (pid $E2E_XVFB_PID, display ${DISPLAY:-none}) is still running" >&2
    else
      echo "--- Xvfb (pid $E2E_XVFB_PID, display ${DISPLAY:-none}) is no longer running" >&2
    fi
    if [ -s "$E2E_TMP/xvfb.log" ]; then
      echo "--- Xvfb log:" >&2
      tail -n 40 "$E2E_TMP/xvfb.log" >&2
    fi
  fi
  exit 1
}

# Starts Xvfb on a free display, 1366 x 768 x 24, and waits until it
# answers. -displayfd lets the server pick a display no other server holds
# (another test run may be going on beside this one); -noreset keeps it
# from resetting each time its last client leaves, which on a busy machine
# can be the moment the program connects.
e2e_start_xvfb() {
  command -v Xvfb >/dev/null || e2e_fail "Xvfb is not installed"
  command -v xdotool >/dev/null || e2e_fail "xdotool is not installed"
  command -v xdpyinfo >/dev/null || e2e_fail "xdpyinfo is not installed (x11-utils)"
  exec 3> "$E2E_TMP/display"
  Xvfb -displayfd 3 -noreset -screen 0 1366x768x24 -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  exec 3>&-
  for _ in $(seq 600); do
    [ -s "$E2E_TMP/display" ] && break
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  [ -s "$E2E_TMP/display" ] || e2e_fail "Xvfb did not report a display"
  export DISPLAY=":$(head -1 "$E2E_TMP/display")"
  for _ in $(seq 600); do
    xdpyinfo >/dev/null 2>&1 && return 0
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  e2e_fail "the X server on $DISPLAY does not answer"
}

# Starts the program in the background; its exit status lands in
# $E2E_TMP/status.
e2e_start_app() {
  rm -f "$E2E_TMP/status"
  # The private X server must still answer; if it does not, say so here
  # rather than through the program's failure to connect.
  if [ -n "$E2E_XVFB_PID" ] && [ -n "${DISPLAY:-}" ]; then
    xdpyinfo >/dev/null 2>&1 || e2e_fail "the X server on $DISPLAY no longer answers"
  fi
  ( "$@" >"$E2E_TMP/app.log" 2>&1; echo $? >"$E2E_TMP/status" ) &
  E2E_APP_PID=$!
}

# Waits up to $2 seconds (default 10) for the process to end; prints its
# exit status.
e2e_wait_exit() {
  local limit=${1:-10}
  for _ in $(seq $((limit * 20))); do
    [ -s "$E2E_TMP/status" ] && { cat "$E2E_TMP/status"; E2E_APP_PID=; return 0; }
    sleep 0.05
  done
  return 1
}

# Prints the id of a mapped window whose title is exactly $1, waiting up to
# $2 seconds (default 10).
e2e_wait_window() {
  local title=$1 limit=${2:-10} id
  for _ in $(seq $((limit * 20))); do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

# The content's place and size of a window: "left top width height".
e2e_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}'
}

# Waits up to $2 seconds (default 30) until no window titled exactly $1 is
# mapped; fails otherwise.
e2e_wait_gone() {
  local title=$1 limit=${2:-30}
  for _ in $(seq $((limit * 20))); do
    xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 || return 0
    sleep 0.05
  done
  return 1
}

# Prints the id of the announcement window: a mapped window of the program
# other than the control panel $1, waiting up to $2 seconds (default 10).
e2e_wait_announcement() {
  local panel=$1 limit=${2:-10} id
  for _ in $(seq $((limit * 20))); do
    id=$(xdotool search --onlyvisible --class servalo 2>/dev/null | grep -vx "$panel" | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

# Makes $E2E_TMP/work the working folder, holding the libraries of the
# fixture folder $1 (planted libraries that leave a *.loaded marker beside
# themselves when loaded), with a private home and no print server.
e2e_enter_planted_folder() {
  local planted=$1 lib
  E2E_WORK=$E2E_TMP/work
  mkdir -p "$E2E_WORK"
  for lib in libespeak-ng.so.1 libservalo-print.so libservalo-net.so; do
    [ -f "$planted/$lib" ] || e2e_fail "no fixture $planted/$lib"
    cp "$planted/$lib" "$E2E_WORK/"
  done
  export HOME="$E2E_TMP"
  export CUPS_SERVER="$E2E_TMP/no-print-server"
  cd "$E2E_WORK" || e2e_fail "cannot enter $E2E_WORK"
}

# The markers that planted libraries left in the working folder.
e2e_planted_markers() { (cd "$E2E_WORK" && ls -- *.loaded 2>/dev/null); }
