#!/usr/bin/env bash
# Instructions each job executes on one capture, counted by callgrind: steadier than wall-clock
# time on a shared machine. Prints a Markdown table: whole-program instructions, instructions per
# line or packet, and the instructions spent framing (everything under framer_step and
# framer_next, the library's two ways in).
#
# Usage: bench/count-instructions.sh [BUILD] [CAPTURE]
#   BUILD    a release build tree (default build/release; configure with cmake --preset release)
#   CAPTURE  default BUILD/bench-data/r16.cap, made with capgen --size 16M --seed 1
set -euo pipefail
build=${1:-build/release}
capture=${2:-$build/bench-data/r16.cap}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ ! -s $capture ]]; then
  mkdir -p "$(dirname "$capture")"
  "$build/capgen/capgen" --size 16M --seed 1 "$capture"
fi
packets=$("$build/capdump/capdump" --stats --format jsonl "$capture" | grep -o '"packets":[0-9]*')
packets=${packets#*:}

# count NAME UNITS COMMAND...: runs COMMAND under callgrind and prints one table row; UNITS is
# the number of lines or packets the job writes.
count() {
  local name=$1 units=$2
  shift 2
  valgrind --tool=callgrind --callgrind-out-file="$work/out" "$@" >/dev/null 2>"$work/err"
  local total framing
  total=$(grep -o 'Collected : [0-9]*' "$work/err" | grep -o '[0-9]*$')
  framing=$(callgrind_annotate --inclusive=yes "$work/out" 2>/dev/null |
    awk '/framer_step|framer_next/ { gsub(",", "", $1); if ($1 + 0 > n) n = $1 + 0 } END { print n + 0 }')
  awk -v n="$name" -v t="$total" -v u="$units" -v f="$framing" 'BEGIN {
    printf "| %s | %.1f M | %.0f | %.1f M |\n", n, t / 1e6, t / u, f / 1e6 }'
}

lines=$("$build/dumpten/dumpten" "$capture" 2>/dev/null | wc -l)
lines_two=$("$build/dumptwo/dumptwo" "$capture" 2>/dev/null | wc -l)
csv_rows=$(("$(grep -c '' < <("$build/capdump/capdump" --format csv --type 10 "$capture"))" - 1))

echo "| Job | Instructions | Per line or packet | Framing |"
echo "|---|---:|---:|---:|"
count "dumpten" "$lines" "$build/dumpten/dumpten" "$capture"
count "dumptwo" "$lines_two" "$build/dumptwo/dumptwo" "$capture"
count "capdump JSON Lines" "$packets" "$build/capdump/capdump" "$capture"
count "capdump CSV --type 10" "$csv_rows" "$build/capdump/capdump" --format csv --type 10 "$capture"
count "capdump --stats" "$packets" "$build/capdump/capdump" --stats "$capture"
# The Python row includes starting Python and importing NumPy: about 300 M instructions.
if [[ -d $build/python/protolib ]]; then
  PYTHONPATH="$build/python" count "protolib.read" "$packets" /usr/bin/python3 -c \
    "import sys, protolib; protolib.read(sys.argv[1])" "$capture"
fi
