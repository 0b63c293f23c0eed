#!/bin/bash
# Print Help from the control panel with Ctrl+P: the desktop's print
# dialog comes up, Escape cancels it, and the program runs on until Ctrl+Q
# quits it with status 0.
. "$(dirname "$0")/lib.sh"

app=${1:?usage: e2e_print.sh path/to/servalo}
e2e_start_xvfb
e2e_start_app "$app"

panel=$(e2e_wait_window "Servalo" 30) || e2e_fail "the control panel did not appear"
xdotool windowfocus --sync "$panel" || e2e_fail "could not focus the control panel"
xdotool key --clearmodifiers ctrl+p

dialog=$(e2e_wait_window "Print" 30) || e2e_fail "no print dialog after Ctrl+P"
xdotool windowfocus --sync "$dialog" || e2e_fail "could not focus the print dialog"
xdotool key --clearmodifiers Escape

for _ in $(seq 600); do
  xdotool search --onlyvisible --name '^Print$' >/dev/null 2>&1 || break
  sleep 0.05
done
xdotool search --onlyvisible --name '^Print$' >/dev/null 2>&1 && e2e_fail "Escape left the print dialog open"
[ -s "$E2E_TMP/status" ] && e2e_fail "the program ended after the dialog was cancelled: $(cat "$E2E_TMP/app.log")"

# The panel's handler closes the help window it needed, so none is left.
sleep 0.5
xdotool search --onlyvisible --name '^Servalo Help$' >/dev/null 2>&1 && e2e_fail "a help window was left open"

panel=$(e2e_wait_window "Servalo" 30) || e2e_fail "the control panel is gone"
xdotool windowfocus --sync "$panel" || e2e_fail "could not focus the control panel again"
xdotool key --clearmodifiers ctrl+q

status=$(e2e_wait_exit 30) || e2e_fail "the program did not quit on Ctrl+Q"
[ "$status" = 0 ] || e2e_fail "exit status $status: $(cat "$E2E_TMP/app.log")"
echo "PASS: print dialog shown and cancelled, quit with status 0"
