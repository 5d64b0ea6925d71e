#!/usr/bin/env bash
# What --recover costs on the inputs that make it work hardest: 16 MiB of repeated sync-pair
# patterns, where a packet is tried every few bytes, against a damaged capture and random bytes.
# Prints a Markdown table of callgrind's instruction counts for `capdump --stats` with and
# without --recover, and their ratio.
#
# Usage: bench/recovery-storms.sh [BUILD]   (a release build tree; default build/release)
set -euo pipefail
build=${1:-build/release}
capdump=$build/capdump/capdump
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# storm NAME HEX: 16 MiB of the bytes HEX repeated (whole repeats only).
storm() {
  perl -e 'my $unit = pack("H*", $ARGV[0]); print $unit x int((16 << 20) / length $unit)' "$2" \
    >"$work/$1"
}
storm pairs 81a1
storm length-255 81a100ff
storm pair-ff 81a1ff
storm pair-ff-ff 81a1ffff
storm pairs-zeros 81a181a10000
head -c $((16 << 20)) /dev/urandom >"$work/random"
"$build/capgen/capgen" --size 16M --damage all --seed 7 "$work/damaged"

instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    grep -o 'Collected : [0-9]*' | grep -o '[0-9]*$'
}
echo "| input | plain | --recover | ratio |"
echo "|---|---:|---:|---:|"
for input in pairs length-255 pair-ff pair-ff-ff pairs-zeros random damaged; do
  plain=$(instructions "$capdump" --stats "$work/$input")
  recover=$(instructions "$capdump" --stats --recover "$work/$input")
  awk -v n="$input" -v p="$plain" -v r="$recover" \
    'BEGIN { printf "| %s | %.1f M | %.1f M | %.2fx |\n", n, p / 1e6, r / 1e6, r / p }'
done
