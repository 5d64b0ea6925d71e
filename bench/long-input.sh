#!/usr/bin/env bash
# The long-input check: dumpten and dumptwo over a capture of several gigabytes (5 GiB by
# default) must print the right summary in the same memory as over a small one. The capture is a
# clean capgen recording, so each program must report as many good packets as capgen's
# --verbose report counts packets of its type, and 0 packet errors. Prints the time and peak
# resident memory of each run and exits non-zero when a summary is wrong or a program needs more
# than 1 MiB more memory for the long capture than for a 1 MiB one.
#
# Usage: bench/long-input.sh [BUILD] [SIZE]    (defaults: build/default, 5G)
# The capture stays in BUILD/long-input-SIZE.cap (and .report) for the next run; delete it when
# done.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
size=${2:-5G}
cmake --build "$build" --target dumpten dumptwo capgen >/dev/null

# make_capture SIZE: writes BUILD/long-input-SIZE.cap and its report once; prints its name.
make_capture() {
  local file=$build/long-input-$1.cap
  [[ -s $file && -s $file.report ]] ||
    "$build/capgen/capgen" --size "$1" --seed 5 --verbose "$file" 2>"$file.report"
  echo "$file"
}
small=$(make_capture 1M)
long=$(make_capture "$size")
echo "capture: $long, $(stat -c %s "$long") bytes"

# run PROGRAM FILE: runs it with output discarded; sets secs, rss (KiB) and summary.
run() {
  local err=$2.$1.err
  /usr/bin/time -f '%e %M' -o "$err.time" "$build/$1/$1" "$2" >/dev/null 2>"$err"
  read -r secs rss <"$err.time"
  summary=$(tr '\r' '\n' <"$err" | tail -n 2 | paste -sd ' ')
}

status=0
for entry in dumpten:10 dumptwo:2; do
  IFS=: read -r program type <<<"$entry"
  run "$program" "$small"
  small_rss=$rss
  run "$program" "$long"
  expected="$(awk -v t="$type" '$1 == "type" && $2 == t {print $3}' "$long.report") good packets 0 packet errors"
  echo "$program: ${secs} s, peak RSS ${rss} KiB (${small_rss} KiB for 1 MiB), summary: $summary"
  if [[ $summary != "$expected" ]]; then
    echo "$program: expected summary: $expected" >&2
    status=1
  fi
  if ((rss > small_rss + 1024)); then
    echo "$program: memory grows with the input" >&2
    status=1
  fi
done
exit $status
