#!/usr/bin/env bash
# The real program where no X server answers. With no display set, or a
# display where nothing runs (also when the user chose X11 himself, and on
# a Wayland desktop whose compositor has gone), it prints one line that
# names what it tried, exits with status 1 without aborting, and writes no
# settings. On a Wayland desktop without XWayland it starts on Wayland: the
# control panel comes up under weston (headless).
#   $1: the servalo binary
. "$(dirname "$0")/lib.sh"
app=$1
command -v weston >/dev/null || e2e_fail "weston is not installed"

WESTON_PID=
APP_PID=
cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
  [ -n "$WESTON_PID" ] && kill "$WESTON_PID" 2>/dev/null
  e2e_cleanup
}
trap cleanup EXIT

# A display number where no X server runs: neither its socket nor its lock.
free=
for n in $(seq 600 699); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { free=":$n"; break; }
done
[ -n "$free" ] || e2e_fail "no free display number"

# $1: the one line expected on standard error; the rest: how env(1) changes
# the environment.
refuses() {
  local expected=$1 status=0
  shift
  rm -rf "$XDG_CONFIG_HOME" && mkdir -p "$XDG_CONFIG_HOME"
  env "$@" timeout 30 "$app" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
  local shown="stdout: '$(cat "$E2E_TMP/out")', stderr: '$(cat "$E2E_TMP/err")'"
  [ "$status" = 1 ] || e2e_fail "$*: exit status $status, not 1; $shown"
  [ ! -s "$E2E_TMP/out" ] && [ "$(cat "$E2E_TMP/err")" = "$expected" ] ||
    e2e_fail "$*: expected only '$expected' on stderr; $shown"
  [ -z "$(ls -A "$XDG_CONFIG_HOME")" ] || e2e_fail "$*: wrote $(ls -A "$XDG_CONFIG_HOME")"
}

refuses "Servalo cannot start: no X display is set in DISPLAY." -u DISPLAY
refuses "Servalo cannot start: no X display is set in DISPLAY." DISPLAY=
refuses "Servalo cannot start: no X server answers on display $free." DISPLAY="$free"
refuses "Servalo cannot start: no X server answers on display $free." DISPLAY="$free" QT_QPA_PLATFORM=xcb
refuses "Servalo cannot start: no X server answers on display $free, and no Wayland compositor answers on \
servalo-gone." DISPLAY="$free" WAYLAND_DISPLAY=servalo-gone

# A Wayland desktop without XWayland.
weston --backend=headless-backend.so --socket=servalo-e2e --no-config --idle-time=0 >"$E2E_TMP/weston.log" 2>&1 &
WESTON_PID=$!
for _ in $(seq 200); do
  [ -S "$XDG_RUNTIME_DIR/servalo-e2e" ] && break
  sleep 0.05
done
[ -S "$XDG_RUNTIME_DIR/servalo-e2e" ] || e2e_fail "weston did not start: $(tail -5 "$E2E_TMP/weston.log")"

# The client library traces the protocol on standard error: the control
# panel is a toplevel titled "Servalo" that gets a buffer.
env -u DISPLAY WAYLAND_DISPLAY=servalo-e2e WAYLAND_DEBUG=client "$app" >"$E2E_TMP/app.log" 2>&1 &
APP_PID=$!
shown=
for _ in $(seq 600); do
  kill -0 "$APP_PID" 2>/dev/null || e2e_fail "the program ended on Wayland"
  log=$E2E_TMP/app.log
  toplevel=$(grep -o 'xdg_toplevel@[0-9]*\.set_title("Servalo")' "$log" | head -1 | cut -d. -f1)
  xdgSurface=$(grep -o "xdg_surface@[0-9]*\.get_toplevel(new id $toplevel)" "$log" | head -1 | cut -d. -f1)
  surface=$(grep -o "get_xdg_surface(new id $xdgSurface, wl_surface@[0-9]*)" "$log" | head -1 |
    grep -o 'wl_surface@[0-9]*')
  [ -n "$toplevel" ] && [ -n "$surface" ] && grep -q -F "$surface.attach(wl_buffer@" "$log" && { shown=yes; break; }
  sleep 0.05
done
[ -n "$shown" ] || e2e_fail "no control panel on Wayland"
other=$(grep -v '^\[' "$E2E_TMP/app.log" | head -5)
[ -z "$other" ] || e2e_fail "the program printed more than the protocol trace: $other"
echo "PASS: a clean refusal without a display; the control panel on Wayland without an X server"
