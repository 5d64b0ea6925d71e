#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang, ASan + UBSan), writes the seed corpus and
# runs each target in turn for SECONDS. Stops with status 1 at the first finding (a crash, a
# broken promise, a leak, a timeout, running out of memory) and prints its log; the input that
# caused it is kept in BUILD/fuzz-findings. Each target's corpus grows in BUILD/fuzz-corpus and
# is used again by the next run. Prints each target's closing figures: runs, coverage (cov: edges
# covered, ft: features), corpus size.
#
# Usage: fuzz/run.sh [SECONDS] [BUILD]    (defaults: 60 seconds each, build/fuzz)
# A finding replays with BUILD/fuzz/TARGET FILE, or with the same target built by g++ (configure
# with -DPROTOLIB_BUILD_FUZZERS=ON), whose main runs the files it is given.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${2:-build/fuzz}

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target capgen capdump framer_fuzz writer_fuzz listing_fuzz jsonl_fuzz \
  dump_pass_fuzz encode_fuzz report_page_fuzz read_tables_fuzz capgen_options_fuzz \
  capdump_options_fuzz
bash fuzz/make-corpus.sh "$build/capgen/capgen" "$build/capdump/capdump" "$build/fuzz-seeds"
mkdir -p "$build/fuzz-findings" "$build/fuzz-logs"

# target:max_len:options
targets=(
  "framer_fuzz:4096:-dict=fuzz/capture.dict"
  "writer_fuzz:4096:"
  "listing_fuzz:4096:-dict=fuzz/capture.dict"
  "jsonl_fuzz:4096:-dict=fuzz/jsonl.dict"
  "dump_pass_fuzz:4096:-dict=fuzz/capture.dict"
  "encode_fuzz:4096:"
  "report_page_fuzz:4096:-dict=fuzz/capture.dict"
  "read_tables_fuzz:4096:-dict=fuzz/capture.dict"
  "capgen_options_fuzz:4096:"
  "capdump_options_fuzz:4096:"
)
for entry in "${targets[@]}"; do
  IFS=: read -r target max_len options <<<"$entry"
  corpus=$build/fuzz-corpus/$target
  log=$build/fuzz-logs/$target.log
  mkdir -p "$corpus"
  echo "fuzzing $target for ${seconds} s"
  # shellcheck disable=SC2086  # options is empty or one word
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/fuzz-findings/$target-" \
    $options "$corpus" "$build/fuzz-seeds/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz/run.sh: $target found a failure; the input is in $build/fuzz-findings" >&2
    exit 1
  fi
  grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log"
done
