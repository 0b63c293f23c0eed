#!/bin/bash
# The settings file with the real program: a first run opens at the default
# places and writes the defaults at quit; a file edited by hand opens the
# control panel where it says, and Ctrl+Q writes it back in the program's
# own five lines; places beyond what X can hold put the windows at the
# nearest one it can, and come back unchanged unless a window was moved.
# $1: the servalo binary.
source "$(dirname "$0")/lib.sh"
BIN=$1
SETTINGS="$XDG_CONFIG_HOME/servalo.txt"
PANEL_HEIGHT=85  # the panel's designed content height

e2e_start_xvfb

# Under the leak checker, the D-Bus library that Qt's X11 platform loads
# keeps a buffer until exit; it is not this program's memory. A shared
# suppression list, when one is set, already covers it.
case "${LSAN_OPTIONS:-}" in
  *suppressions=*) ;;
  *)
    printf 'leak:libdbus-1.so\n' >"$E2E_TMP/lsan.supp"
    export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$E2E_TMP/lsan.supp"
    ;;
esac

# Checks the control panel's content place: left $2 and top $3. The menu
# bar stands above the content inside the same X window, so the content's
# top is the window's bottom less the content height.
check_panel_at() {
  local id=$1 left=$2 top=$3 x y w h
  read -r x y w h < <(e2e_geometry "$id")
  [ "$x" = "$left" ] || e2e_fail "panel at left $x, expected $left"
  [ $((y + h - PANEL_HEIGHT)) = "$top" ] || e2e_fail "panel content at top $((y + h - PANEL_HEIGHT)), expected $top"
}

# Quits with Ctrl+Q in the control panel and waits for a clean exit.
quit_with_ctrl_q() {
  local id=$1 status
  xdotool windowfocus --sync "$id" || e2e_fail "cannot focus the panel"
  xdotool key ctrl+q
  status=$(e2e_wait_exit 60) || e2e_fail "the program did not quit"
  [ "$status" = 0 ] || e2e_fail "exit status $status: $(cat "$E2E_TMP/app.log")"
}

# Only the settings file is left in the preferences folder.
check_folder_clean() {
  local names
  names=$(ls -A "$XDG_CONFIG_HOME")
  [ "$names" = "servalo.txt" ] || e2e_fail "preferences folder holds: $names"
}

# ---- First run: no file at all.
rm -f "$SETTINGS"
e2e_start_app "$BIN"
id=$(e2e_wait_window Servalo 60) || e2e_fail "the control panel did not open"
check_panel_at "$id" 0 683
quit_with_ctrl_q "$id"
printf '#NumberOfTables 20\n#Order Random\n#MySound True\n#Window1Position 683,0\n#Window2Position 40,0\n' \
  | cmp - "$SETTINGS" || e2e_fail "first run wrote: $(cat -A "$SETTINGS")"
check_folder_clean

# ---- A file edited by hand: byte-order mark, CR LF, comments, keys in any
# case, a later line winning, a third position field, an announcement
# window at top 0, and lines after the end of the settings.
printf "\xEF\xBB\xBF' edited by hand\r\n#numberoftables 12\r\n#ORDER random\r\n#MySound TRUE\r\n" >"$SETTINGS"
printf "#Window1Position 300,150,9\r\n#window2position 0,500\r\n#Colour blue\r\n' the later line wins\r\n" >>"$SETTINGS"
printf "#NumberOfTables 7\r\n\r\n#NumberOfTables 50\r\n" >>"$SETTINGS"
e2e_start_app "$BIN"
id=$(e2e_wait_window Servalo 60) || e2e_fail "the control panel did not open"
check_panel_at "$id" 150 300
quit_with_ctrl_q "$id"
printf '#NumberOfTables 7\n#Order Random\n#MySound True\n#Window1Position 300,150\n#Window2Position 40,0\n' \
  | cmp - "$SETTINGS" || e2e_fail "hand-written file written back as: $(cat -A "$SETTINGS")"
check_folder_clean

# ---- Places beyond what X can hold (16 signed bits) in a file edited by
# hand: each window stands at the nearest place X can take, and Start shows
# the announcement window there. With neither window moved, Ctrl+Q writes
# the file back byte for byte. The panel's menu bar stands above its
# content inside the same X window, so the panel's content top is the X
# window's top plus the menu bar's height.
clamp16() {
  local v=$1
  ((v < -32768)) && v=-32768
  ((v > 32767)) && v=32767
  echo "$v"
}

# Writes a file of the program's own five lines with both windows at top
# $1, left $2.
write_far_file() {
  printf '#NumberOfTables 3\n#Order InOrder\n#MySound False\n#Window1Position %s,%s\n#Window2Position %s,%s\n' \
    "$1" "$2" "$1" "$2" >"$SETTINGS"
}

# Starts the program on the file, checks where X holds both windows, and
# leaves the panel's id in $PANEL, the announcement window's in $ANN and
# the menu bar's height in $MENU.
start_far() {
  local top=$1 left=$2 x y w h ax ay aw ah want_x want_y
  e2e_start_app "$BIN"
  PANEL=$(e2e_wait_window Servalo 60) || e2e_fail "$top,$left: the control panel did not open"
  read -r x y w h < <(e2e_geometry "$PANEL")
  MENU=$((h - PANEL_HEIGHT))
  want_x=$(clamp16 "$left")
  want_y=$(clamp16 $((top - MENU)))
  [ "$x,$y" = "$want_x,$want_y" ] || e2e_fail "$top,$left: panel window at $x,$y, expected $want_x,$want_y"
  xdotool windowfocus --sync "$PANEL" || e2e_fail "cannot focus the panel"
  xdotool key Return  # Start, the panel's default button
  ANN=$(e2e_wait_announcement "$PANEL") || e2e_fail "$top,$left: Start showed no announcement window"
  read -r ax ay aw ah < <(e2e_geometry "$ANN")
  want_y=$(clamp16 "$top")
  [ "$ax,$ay" = "$want_x,$want_y" ] || e2e_fail "$top,$left: announcement window at $ax,$ay, expected $want_x,$want_y"
}

check_far_place() {
  local top=$1 left=$2 expected
  write_far_file "$top" "$left"
  expected=$(cat "$SETTINGS")
  start_far "$top" "$left"
  quit_with_ctrl_q "$PANEL"
  printf '%s\n' "$expected" | cmp - "$SETTINGS" || e2e_fail "$top,$left written back as: $(cat -A "$SETTINGS")"
  check_folder_clean
}

check_far_place 300 2147483647
check_far_place 2147483647 0
check_far_place -2147483648 0
check_far_place 40000 50000
check_far_place -40000 -50000
check_far_place 32767 -32768  # the far corner X can hold

# ---- Windows moved on the screen are saved where they were moved, also
# from places X cannot hold.
write_far_file 40000 50000
start_far 40000 50000
xdotool windowmove --sync "$PANEL" 200 300 || e2e_fail "cannot move the panel"
xdotool windowmove --sync "$ANN" 10 20 || e2e_fail "cannot move the announcement window"
quit_with_ctrl_q "$PANEL"
printf '#NumberOfTables 3\n#Order InOrder\n#MySound False\n#Window1Position %s,200\n#Window2Position 20,10\n' \
  $((300 + MENU)) | cmp - "$SETTINGS" || e2e_fail "moved windows written back as: $(cat -A "$SETTINGS")"
check_folder_clean

echo "PASS"
