#!/usr/bin/env bash
# No run path of the given programs and libraries may lead to the working
# folder: every entry of RPATH and RUNPATH must be an absolute folder. An
# empty entry, ".", or any relative one is looked up from wherever the
# program was started, and a library planted there would run inside it.
#   $@: the files to check
set -u
[ $# -gt 0 ] || { echo "FAIL: no files given" >&2; exit 1; }
bad=0
for file in "$@"; do
  [ -f "$file" ] || { echo "FAIL: no $file" >&2; bad=1; continue; }
  dynamic=$(readelf -d "$file") || { echo "FAIL: readelf cannot read $file" >&2; bad=1; continue; }
  while IFS= read -r path; do
    # The added colon keeps a trailing empty entry; an empty list is one.
    IFS=: read -r -a entries <<<"$path:"
    for entry in "${entries[@]}"; do
      case $entry in
        /*) ;;
        *) echo "FAIL: $file: run path [$path] has the entry '$entry'" >&2; bad=1 ;;
      esac
    done
  done < <(sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p' <<<"$dynamic")
done
[ "$bad" = 0 ] || exit 1
echo "PASS: $# files, no run path entry outside absolute folders"
