#!/bin/bash
# Print Help from the control panel with Ctrl+P: the desktop's print
# dialog comes up, Escape cancels it; a second Ctrl+P and Return print to
# the dialog's PDF file, every page in the designed faces; a third print,
# with Copies set to 2 in the dialog, gives the page twice; the program
# runs on until Ctrl+Q quits it with status 0.
. "$(dirname "$0")/lib.sh"

app=${1:?usage: e2e_print.sh path/to/servalo}
# The dialog proposes print.pdf in the home folder: a private one. No print
# server is reached, so the PDF file is the only destination.
export HOME="$E2E_TMP"
export CUPS_SERVER="$E2E_TMP/no-print-server"
cd "$E2E_TMP"
e2e_start_xvfb
e2e_start_app "$app"

# Ctrl+P on the control panel; the print dialog's id lands in $dialog.
open_print_dialog() {
  local panel
  panel=$(e2e_wait_window "Servalo" 30) || e2e_fail "the control panel is gone"
  xdotool windowfocus --sync "$panel" || e2e_fail "could not focus the control panel"
  xdotool key --clearmodifiers ctrl+p
  dialog=$(e2e_wait_window "Print" 30) || e2e_fail "no print dialog after Ctrl+P"
  xdotool windowfocus --sync "$dialog" || e2e_fail "could not focus the print dialog"
}

# Ctrl+P on the control panel, then key $1 in the print dialog.
print_dialog_key() {
  open_print_dialog
  xdotool key --clearmodifiers "$1"
}

# Waits until the file $1 is a whole PDF and the print has ended: the
# panel's handler has closed the help window it needed.
wait_for_pdf() {
  for _ in $(seq 600); do
    pdfinfo "$1" >/dev/null 2>&1 && ! xdotool search --onlyvisible --name '^(Print|Servalo Help)$' >/dev/null 2>&1 &&
      return 0
    sleep 0.05
  done
  return 1
}

print_dialog_key Escape

e2e_wait_gone Print || e2e_fail "Escape left the print dialog open"
[ -s "$E2E_TMP/status" ] && e2e_fail "the program ended after the dialog was cancelled: $(cat "$E2E_TMP/app.log")"

# The panel's handler closes the help window it needed, so none is left.
sleep 0.5
xdotool search --onlyvisible --name '^Servalo Help$' >/dev/null 2>&1 && e2e_fail "a help window was left open"

# Print for real: Return takes the dialog's default, Print, to the PDF file.
pdf="$E2E_TMP/print.pdf"
print_dialog_key Return
wait_for_pdf "$pdf" || e2e_fail "Print wrote no readable $pdf"
[ "$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')" = 1 ] || e2e_fail "the help text is not one page: $(pdfinfo "$pdf")"
text=$(pdftotext "$pdf" -) || e2e_fail "pdftotext cannot read $pdf"
grep -q "This Help information can be printed from the File menu." <<<"$text" || e2e_fail "the help text is missing: $text"
grep -q "^page 1" <<<"$text" || e2e_fail "the footer is missing: $text"
# The body in bold Courier, the footer in plain Arial: the faces that the
# font configuration gives for them.
fonts=$(pdffonts "$pdf" | tail -n +3 | awk '{sub(/^[A-Z]{6}\+/, "", $1); print $1}' | sort)
expected=$(printf '%s\n%s\n' "$(fc-match -f '%{postscriptname}' Courier:bold)" "$(fc-match -f '%{postscriptname}' Arial)" | sort)
[ "$fonts" = "$expected" ] || e2e_fail "fonts on the page: $fonts; expected: $expected"

# Two copies: the dialog's lower half opened with Alt+O (the dialog grows;
# a key sent while it still settles can go astray, so it is sent again
# until it has grown), then Copies, six tab stops from the printer's name.
mv "$pdf" "$E2E_TMP/one-copy.pdf"
open_print_dialog
height=$(e2e_geometry "$dialog" | awk '{print $4}')
grown=0
for _ in 1 2 3; do
  xdotool key --clearmodifiers alt+o
  for _ in $(seq 100); do
    grown=$(e2e_geometry "$dialog" | awk '{print $4}')
    [ "${grown:-0}" -gt "$height" ] && break 2
    sleep 0.05
  done
done
[ "${grown:-0}" -gt "$height" ] || e2e_fail "Alt+O did not open the dialog's options"
xdotool key --clearmodifiers --delay 50 Tab Tab Tab Tab Tab Tab ctrl+a 2 Return
wait_for_pdf "$pdf" || e2e_fail "Print with two copies wrote no readable $pdf"
[ "$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')" = 2 ] || e2e_fail "two copies are not two pages: $(pdfinfo "$pdf")"
first=$(pdftotext -f 1 -l 1 "$pdf" -) && second=$(pdftotext -f 2 -l 2 "$pdf" -) || e2e_fail "pdftotext cannot read $pdf"
[ "$first" = "$second" ] || e2e_fail "the copies differ: $first / $second"
# The body as printed alone before (the footer's time may have moved on).
body() { sed '/^page [0-9]/,$d'; }
[ "$(body <<<"$first")" = "$(pdftotext "$E2E_TMP/one-copy.pdf" - | body)" ] ||
  e2e_fail "a copy is not the page printed alone: $first"

panel=$(e2e_wait_window "Servalo" 30) || e2e_fail "the control panel is gone"
xdotool windowfocus --sync "$panel" || e2e_fail "could not focus the control panel again"
xdotool key --clearmodifiers ctrl+q

status=$(e2e_wait_exit 30) || e2e_fail "the program did not quit on Ctrl+Q"
[ "$status" = 0 ] || e2e_fail "exit status $status: $(cat "$E2E_TMP/app.log")"
echo "PASS: print dialog cancelled, the help text printed to PDF, then two copies of it; quit with status 0"
