#!/usr/bin/env bash
# cmake --install into a temporary prefix puts in place what a desktop
# reads: the program, its desktop entry (valid for desktop-file-validate,
# naming the program and its icon), and the icon in the hicolor theme,
# scalable and at each rendered size; and the modules the program loads on
# first use, where its run path leads.
#   $1: cmake, $2: the build folder
set -u
cmake=$1 build=$2
prefix=$(mktemp -d)
log=$(mktemp)
trap 'rm -rf "$prefix" "$log"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >"$log" 2>&1 || { cat "$log" >&2; fail "cmake --install failed"; }

[ -x "$prefix/bin/servalo" ] || fail "no program in bin/"
[ "$(PATH="$prefix/bin" command -v servalo)" = "$prefix/bin/servalo" ] || fail "servalo is not found on the prefix's PATH"

# The run path names the modules' folder relative to the program, so the
# install can be moved; nothing of the build tree is left in it.
runpath=$(readelf -d "$prefix/bin/servalo" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]$/\1/p')
case $runpath in '$ORIGIN/'*) ;; *) fail "the program's run path is '$runpath'" ;; esac
modules=${runpath/\$ORIGIN/$prefix/bin}
for module in print net; do
  [ -f "$modules/libservalo-$module.so" ] || fail "no libservalo-$module.so in $modules"
done

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
echo "PASS: installed into a temporary prefix"
