# The whole job with the real program: three tables set with the arrows,
# Start, Ctrl+Alt held for each next table, and the program ends by itself
# after the last one.
#   $1: the servalo binary
set -u
. "$(dirname "$0")/lib.sh"

app=$1
e2e_start_xvfb
e2e_start_app "$app"

panel=$(e2e_wait_window Servalo 30) || e2e_fail "the control panel did not appear"
read -r x y w h < <(e2e_geometry "$panel")
# The content is the bottom 85 rows of the window; the menu bar is above.
top=$((y + h - 85))
up_x=$((x + 23)) up_y=$((top + 44))
down_x=$((x + 23)) down_y=$((top + 56))
start_x=$((x + 140)) start_y=$((top + 23))

running() { [ ! -s "$E2E_TMP/status" ]; }

click_at() {  # x y count
  xdotool mousemove --sync "$1" "$2"
  xdotool click --repeat "$3" --delay 40 1
}

# Whatever number the settings gave (up to a hundred or so): one Up moves
# 0 into the range, enough Downs reach 1, two Ups make 3.
click_at "$up_x" "$up_y" 1
click_at "$down_x" "$down_y" 110
click_at "$up_x" "$up_y" 2
sleep 0.3

click_at "$start_x" "$start_y" 1
e2e_wait_announcement "$panel" 10 >/dev/null || e2e_fail "Start showed no announcement window"
running || e2e_fail "the program ended at Start"

trigger() {
  xdotool keydown ctrl alt
  sleep 0.2
  xdotool keyup ctrl alt
}

# Tables 2 and 3; the program keeps running.
for table in 2 3; do
  sleep 1.3  # past the one-second lock-out
  trigger
  sleep 0.3
  running || e2e_fail "the program ended at table $table"
done

# The trigger after the last table ends the run.
sleep 1.3
trigger
status=$(e2e_wait_exit 20) || e2e_fail "the program did not end after the last table"
[ "$status" = 0 ] || { cat "$E2E_TMP/app.log" >&2; e2e_fail "exit status $status"; }
# Sound was on, and this machine may have no sound device: the program
# runs on in silence, and writes nothing about it.
[ ! -s "$E2E_TMP/app.log" ] || e2e_fail "the program wrote on standard output or error"
echo "PASS: three tables called, the program ended by itself, nothing written"
