#!/usr/bin/env bash
# Line latency of the listers on live input: each program reads a FIFO (in the last rows, a pipe
# on its standard input) that live_latency feeds one packet every EVERY ms, with standard output
# a pipe, and the time from a packet's last byte
# to its line is measured (bench/live_latency.cpp says how). Prints a Markdown table: lines
# measured, median and worst latency in ms, and lines that came only after the input had ended.
#
# Usage: bench/live-latency.sh [BUILD_DIR [PROGRAMS_DIR]]
#   BUILD_DIR     a configured build tree with the benchmarks (default build/default); its
#                 live_latency, capgen and programs are built first
#   PROGRAMS_DIR  measure the dumpten, dumptwo and capdump of another build tree instead
# PACKETS=N packets of capgen's recording (default 3000, seed 1), EVERY=MS between packets
# (default 2): about PACKETS * EVERY ms per program.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
programs=${2:-$build}
packets=${PACKETS:-3000}
every=${EVERY:-2}

cmake --build "$build" -j2 --target live_latency capgen dumpten dumptwo capdump >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
capture=$work/recording.cap
"$build/capgen/capgen" --packets "$packets" --seed 1 "$capture"

measure() { "$build/bench/live_latency" --every "$every" "$@"; }

echo "| Program | Lines | Median ms | Worst ms | Lines after end of input |"
echo "|---|---:|---:|---:|---:|"
measure --listed 10 "$capture" "$programs/dumpten/dumpten" {}
measure --listed 2 "$capture" "$programs/dumptwo/dumptwo" {}
measure "$capture" "$programs/capdump/capdump" {}
measure --listed 10 "$capture" "$programs/capdump/capdump" --format csv --type 10 {}
# The same through a pipe on standard input.
measure --listed 10 "$capture" "$programs/dumpten/dumpten" -
measure --listed 2 "$capture" "$programs/dumptwo/dumptwo" -
measure "$capture" "$programs/capdump/capdump" -
