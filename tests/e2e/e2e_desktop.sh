#!/usr/bin/env bash
# The real program started as from a Wayland desktop that runs an X server
# beside it (as XWayland does): it goes to the X server without trying
# Wayland; its windows, its own and the toolkit's dialogs, carry the
# application's icon at each size; and their class is the one the desktop
# entry names, so the desktop groups them under the entry.
#   $1: the servalo binary
. "$(dirname "$0")/lib.sh"
app=$1
entry=$(dirname "$0")/../../desktop/servalo.desktop
e2e_start_xvfb
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE WAYLAND_DISPLAY=wayland-servalo-none
e2e_start_app "$app"

panel=$(e2e_wait_window Servalo 30) || e2e_fail "the control panel did not appear"
grep -qi wayland "$E2E_TMP/app.log" && e2e_fail "the program tried Wayland"

# $1: a window, $2: what it is.
has_icon() {
  local icons
  icons=$(xprop -id "$1" -notype _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)')
  for size in 16 32 48 64; do
    grep -qx "Icon ($size x $size)" <<<"$icons" || e2e_fail "$2 has no $size x $size icon: $(xprop -id "$1" _NET_WM_ICON | head -2)"
  done
}
has_icon "$panel" "the control panel"

class=$(xprop -id "$panel" WM_CLASS)
wanted=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ -n "$wanted" ] && [[ "$class" == *"\"$wanted\"" ]] || e2e_fail "$class, but the desktop entry names the class '$wanted'"

# Start opens the announcement window.
read -r x y w h < <(e2e_geometry "$panel")
xdotool mousemove --sync $((x + 140)) $((y + h - 85 + 23)) click 1
announcement=$(e2e_wait_announcement "$panel") || e2e_fail "Start showed no announcement window"
has_icon "$announcement" "the announcement window"

# A dialog of the toolkit's: the print dialog.
xdotool windowfocus --sync "$panel" || e2e_fail "could not focus the control panel"
xdotool key --clearmodifiers ctrl+p
dialog=$(e2e_wait_window Print 30) || e2e_fail "no print dialog after Ctrl+P"
has_icon "$dialog" "the print dialog"
xdotool windowfocus --sync "$dialog" && xdotool key --clearmodifiers Escape
e2e_wait_gone Print || e2e_fail "Escape left the print dialog open"

xdotool windowfocus --sync "$panel" || e2e_fail "could not focus the control panel again"
xdotool key --clearmodifiers ctrl+q
status=$(e2e_wait_exit 30) || e2e_fail "the program did not quit on Ctrl+Q"
[ "$status" = 0 ] || e2e_fail "exit status $status"
echo "PASS: on the X server, icons on every window, class as the desktop entry names"
