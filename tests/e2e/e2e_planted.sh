#!/usr/bin/env bash
# Libraries planted in the folder the program is started from never run
# inside it: libespeak-ng.so.1, libservalo-print.so and libservalo-net.so
# there leave a marker when loaded. The program is started in that folder
# and made to load what each name stands for: speech (Sound is on, Start),
# the print dialog (Ctrl+P, Escape) and an update check (Check Now, then
# "Check for Updates"; the default build's feed host never resolves, and
# the communication error is dismissed). No marker may appear, and the
# program must have taken the engine from the system's library folders and
# the modules from beside itself.
#   $1: the servalo binary; SERVALO_FIXTURES: the test fixtures' folder
. "$(dirname "$0")/lib.sh"

app=$(realpath "${1:?usage: e2e_planted.sh path/to/servalo}")
e2e_enter_planted_folder "${SERVALO_FIXTURES:?SERVALO_FIXTURES names no fixture folder}/planted"

e2e_start_xvfb
e2e_start_app "$app"
panel=$(e2e_wait_window Servalo 30) || e2e_fail "the control panel did not appear"
pid=$(xdotool getwindowpid "$panel") || e2e_fail "the panel names no process"

focus_panel() { xdotool windowfocus --sync "$panel" || e2e_fail "could not focus the control panel"; }

# Speech: a fresh run has Sound on; Start speaks the first table.
read -r x y w h < <(e2e_geometry "$panel")
xdotool mousemove --sync $((x + 140)) $((y + h - 85 + 23)) click 1
e2e_wait_announcement "$panel" 10 >/dev/null || e2e_fail "Start showed no announcement window"
for _ in $(seq 100); do
  grep -q '/libespeak-ng\.so' "/proc/$pid/maps" && break
  sleep 0.05
done

# Printing: the print dialog, cancelled.
focus_panel
xdotool key --clearmodifiers ctrl+p
dialog=$(e2e_wait_window Print 30) || e2e_fail "no print dialog after Ctrl+P"
xdotool windowfocus --sync "$dialog" || e2e_fail "could not focus the print dialog"
xdotool key --clearmodifiers Escape
e2e_wait_gone Print 30 || e2e_fail "Escape left the print dialog open"

# The update check: File, then two menus to the left (the menu bar's last
# two, Help and Check for Update), Check Now; then the version window's
# button.
focus_panel
xdotool key --clearmodifiers alt+f
sleep 0.3
xdotool key Left
sleep 0.3
xdotool key Left
sleep 0.3
xdotool key Return
version=$(e2e_wait_window "Self Test" 30) || e2e_fail "Check Now opened no version window"
xdotool windowfocus --sync "$version" || e2e_fail "could not focus the version window"
xdotool key --clearmodifiers Return
# The message box, titled like the panel: dismissed.
message=
for _ in $(seq 1200); do
  message=$(xdotool search --onlyvisible --name '^Servalo$' 2>/dev/null | grep -vx "$panel" | head -1)
  [ -n "$message" ] && break
  sleep 0.05
done
[ -n "$message" ] || e2e_fail "the update check ended in no message"
xdotool windowfocus --sync "$message" || e2e_fail "could not focus the message"
xdotool key --clearmodifiers Return
e2e_wait_gone Update 30 || e2e_fail "the update window stayed open"

markers=$(e2e_planted_markers)
[ -z "$markers" ] || e2e_fail "planted libraries ran inside the program: $markers"

# Each road was taken, from the right place.
maps=$(cat "/proc/$pid/maps") || e2e_fail "the program is gone"
engine=$(awk '$6 ~ /\/libespeak-ng\.so/ {print $6}' <<<"$maps" | sort -u)
[ -n "$engine" ] || e2e_fail "speech never loaded the engine"
case $engine in
  /usr/lib/* | /lib/*) ;;
  *) e2e_fail "the engine came from $engine" ;;
esac
for module in print net; do
  from=$(awk -v lib="/libservalo-$module.so" 'index($6, lib) {print $6}' <<<"$maps" | sort -u)
  [ "$from" = "$(dirname "$app")/libservalo-$module.so" ] || e2e_fail "libservalo-$module.so came from '$from'"
done

focus_panel
xdotool key --clearmodifiers ctrl+q
status=$(e2e_wait_exit 30) || e2e_fail "the program did not quit on Ctrl+Q"
[ "$status" = 0 ] || e2e_fail "exit status $status"
echo "PASS: nothing planted in the working folder was loaded; engine $engine, modules beside the program"
