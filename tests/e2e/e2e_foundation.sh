#!/usr/bin/env bash
# The real program under Xvfb: the control panel "Servalo" opens with its
# content at left 0, top 683, 200 x 85 (the menu bar above the content), and
# Ctrl+Q ends the process with status 0. Printing, networking and the
# image-format plugins are not loaded until a command needs them.
. "$(dirname "$0")/lib.sh"
APP=$1
e2e_start_xvfb
e2e_start_app "$APP"
win=$(e2e_wait_window Servalo 15) || e2e_fail "no window titled Servalo"
sleep 0.5
read -r x y w h < <(e2e_geometry "$win")
echo "panel window: left $x top $y width $w height $h"
[ "$x" = 0 ] || e2e_fail "left is $x, not 0"
[ "$w" = 200 ] || e2e_fail "width is $w, not 200"
[ $((y + h)) = 768 ] || e2e_fail "content does not end at the bottom of the screen ($y + $h)"
[ $((y + h - 85)) = 683 ] || e2e_fail "content top is $((y + h - 85)), not 683"
[ "$h" -gt 85 ] || e2e_fail "no menu bar above the content"
pid=$(xdotool getwindowpid "$win") || e2e_fail "the panel names no process"
for lib in libQt6PrintSupport libQt6Network /imageformats/; do
  ! grep -q "$lib" "/proc/$pid/maps" || e2e_fail "$lib is loaded at start"
done
xdotool windowfocus --sync "$win"
xdotool key ctrl+q
status=$(e2e_wait_exit 10) || e2e_fail "still running 10 s after Ctrl+Q"
[ "$status" = 0 ] || e2e_fail "exit status $status"
echo "PASS"
