#!/usr/bin/env bash
# cmake --install into a temporary prefix puts in place what a desktop
# reads: the program, its desktop entry (valid for desktop-file-validate,
# naming the program and its icon), and the icon in the hicolor theme,
# scalable and at each rendered size; and the modules the program loads on
# first use, in the library folder. No run path of the program or its
# modules leads to the working folder. The installed program starts (from a
# folder holding planted libraries, which it must not load), loads its
# printing module from the install for the print dialog, and quits with
# status 0.
#   $1: cmake, $2: the build folder, $3: the modules' folder in the prefix,
#   $4: the test fixtures' folder
set -u
. "$(dirname "$0")/e2e/lib.sh"
cmake=$1 build=$2 module_dir=$3 fixtures=$4
prefix=$(mktemp -d)
log=$(mktemp)
trap 'rm -rf "$prefix" "$log"; e2e_cleanup' EXIT
fail() { e2e_fail "$@"; }

"$cmake" --install "$build" --prefix "$prefix" >"$log" 2>&1 || { cat "$log" >&2; fail "cmake --install failed"; }

[ -x "$prefix/bin/servalo" ] || fail "no program in bin/"
[ "$(PATH="$prefix/bin" command -v servalo)" = "$prefix/bin/servalo" ] || fail "servalo is not found on the prefix's PATH"

modules=$prefix/$module_dir
for module in print net; do
  [ -f "$modules/libservalo-$module.so" ] || fail "no libservalo-$module.so in $modules"
done
out=$(bash "$(dirname "$0")/runpath.sh" "$prefix/bin/servalo" "$modules"/*.so 2>&1) || fail "${out#FAIL: }"

entry=$prefix/share/applications/servalo.desktop
[ -f "$entry" ] || fail "no share/applications/servalo.desktop"
command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is not installed (desktop-file-utils)"
out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate warns: $out"
key() { sed -n "s/^$1=//p" "$entry"; }
[ "$(key Type)" = Application ] || fail "Type is '$(key Type)'"
[ "$(key Name)" = Servalo ] || fail "Name is '$(key Name)'"
[ -n "$(key Comment)" ] || fail "no Comment"
[ "$(key Exec)" = servalo ] || fail "Exec is '$(key Exec)'"
[ "$(key Icon)" = servalo ] || fail "Icon is '$(key Icon)'"
case ";$(key Categories)" in *";Utility;"*) ;; *) fail "Categories '$(key Categories)' lack Utility" ;; esac

svg=$prefix/share/icons/hicolor/scalable/apps/servalo.svg
[ -f "$svg" ] || fail "no share/icons/hicolor/scalable/apps/servalo.svg"
grep -q '<svg[^>]*viewBox="0 0 256 256"' "$svg" && grep -q '</svg>' "$svg" || fail "servalo.svg is not a square SVG image"

# Each PNG size: the PNG signature, and the width and height of its header.
for size in 16 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/servalo.png
  [ -f "$png" ] || fail "no $size x $size PNG icon"
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG file"
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w x $h" = "$size x $size" ] || fail "$png is $w x $h"
done

# The installed program, started where planted libraries lie.
e2e_enter_planted_folder "$fixtures/planted"
e2e_start_xvfb
e2e_start_app "$prefix/bin/servalo"
panel=$(e2e_wait_window Servalo 30) || fail "the installed program showed no control panel"
pid=$(xdotool getwindowpid "$panel") || fail "the panel names no process"
xdotool windowfocus --sync "$panel" || fail "could not focus the control panel"
xdotool key --clearmodifiers ctrl+p
dialog=$(e2e_wait_window Print 30) || fail "no print dialog after Ctrl+P"
from=$(awk '$6 ~ /\/libservalo-print\.so$/ {print $6}' "/proc/$pid/maps" | sort -u)
[ "$from" = "$(realpath "$modules")/libservalo-print.so" ] || fail "the printing module came from '$from'"
xdotool windowfocus --sync "$dialog" || fail "could not focus the print dialog"
xdotool key --clearmodifiers Escape
e2e_wait_gone Print 30 || fail "Escape left the print dialog open"
xdotool windowfocus --sync "$panel" || fail "could not focus the control panel again"
xdotool key --clearmodifiers ctrl+q
status=$(e2e_wait_exit 30) || fail "the installed program did not quit on Ctrl+Q"
[ "$status" = 0 ] || fail "the installed program quit with status $status"
markers=$(e2e_planted_markers)
[ -z "$markers" ] || fail "planted libraries ran inside the installed program: $markers"

echo "PASS: installed into a temporary prefix; the installed program started, printed through its module, quit"
