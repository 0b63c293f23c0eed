#!/bin/bash
# Benchmark of the real program against a bare Qt 6 window, side by side in
# one run under a private Xvfb: start to first paint, memory after Start,
# CPU while idle and while calling, and the keyboard trigger's latency; then
# the message dialog with the longest and oddest texts an update feed can
# bring: the time until it is up, and the longest gap of a 50 ms poll.
# Not a test: it prints tables. Needs Xvfb, xdotool, xwininfo, python3.
#   bench/run.sh            builds build-bench/ (Release, measuring hooks)
#   bench/run.sh dialog     the message dialog only (build-bench/dialog_up
#                           also runs alone: dialog_up [repeats] [text ...])
#   SERVALO_BENCH_NO_BUILD=1 bench/run.sh   uses what build-bench/ holds
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build-bench
what=${1:-all}
if [ -z "${SERVALO_BENCH_NO_BUILD:-}" ]; then
  cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Release -DSERVALO_BENCH_HOOKS=ON >/dev/null
  cmake --build "$out" -j4 --target servalo dialog_up >/dev/null
  if [ "$what" = all ]; then
    cmake -S "$root/bench" -B "$out/bare" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$out/bare" -j4 >/dev/null
  fi
fi

. "$root/tests/e2e/lib.sh"
set +u
e2e_start_xvfb
if [ "$what" = all ]; then
  PYTHONDONTWRITEBYTECODE=1 python3 "$root/bench/measure.py" "$out/servalo" "$out/bare/bare_window"
  echo
fi
# Without the font library's note on each font that lacks a script.
"$out/dialog_up" 2> >(grep -v "OpenType support missing" >&2)
echo
echo "machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(uname -sr)"
