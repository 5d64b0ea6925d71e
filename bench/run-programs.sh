#!/usr/bin/env bash
# Whole-process benchmark of dumpten, dumptwo and capdump: builds the release preset, makes the
# workloads with capgen (deterministic, kept in build/bench-data), runs every program several
# times with stdout and stderr to /dev/null and prints Markdown tables of medians: input MB/s,
# lines or packets a second, peak resident memory, and throughput as a fraction of the checksum
# floor (one pass over the file in large reads running the two checksum sums).
#
# Usage: bench/run-programs.sh [RUNS]   (RUNS defaults to 5)
# LISTERS=DIR measures the programs of another release build tree instead (DIR/dumpten/dumpten
# ...). BASELINE=DIR measures the programs of DIR too, each run of them right after the same run
# of ours, so both see the same load, and adds their MB/s and our speed-up to the tables.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
data=build/bench-data
listers=${LISTERS:-build/release}
baseline=${BASELINE:-}

cmake --preset release >/dev/null
cmake --build --preset release --target dumpten dumptwo capdump capgen >/dev/null
cmake --preset default >/dev/null
cmake --build --preset default --target checksum_floor >/dev/null
floor=build/default/bench/checksum_floor
capgen=build/release/capgen/capgen
mkdir -p "$data"

# make NAME CAPGEN-OPTIONS...: generates a workload once.
make_workload() {
  local name=$1
  shift
  [[ -s $data/$name ]] || "$capgen" "$@" "$data/$name"
}
make_workload random.cap --random-bytes --size 256M --seed 1
make_workload realistic.cap --size 256M --seed 1
make_workload type10.cap --types 10 --size 256M --seed 1
make_workload type2.cap --types 2 --size 256M --seed 1
make_workload small.cap --size 1M --seed 2
make_workload large.cap --size 1G --seed 3

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# seconds COMMAND...: runs COMMAND once; prints its wall time and peak resident memory (KiB).
seconds() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -o "$data/.rss" -f %M "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo "$(awk -v ns=$((end - start)) 'BEGIN {printf "%.6f", ns / 1e9}') $(tail -n 1 "$data/.rss")"
}

# measure PROGRAM ARGS...: runs DIR/PROGRAM ARGS $runs times for the measured build and, with a
# baseline, for the baseline build right after each; sets $secs and $rss (largest peak, KiB) for
# ours and $base_secs for the baseline's median.
measure() {
  local program=$1 ours=() theirs=() result
  shift
  rss=0
  for ((i = 0; i < runs; i++)); do
    result=$(seconds "$listers/$program" "$@")
    ours+=("${result% *}")
    ((${result#* } > rss)) && rss=${result#* }
    if [[ -n $baseline ]]; then
      result=$(seconds "$baseline/$program" "$@")
      theirs+=("${result% *}")
    fi
  done
  secs=$(printf '%s\n' "${ours[@]}" | median)
  base_secs=$( ((${#theirs[@]} > 0)) && printf '%s\n' "${theirs[@]}" | median || echo 0)
}

# The baseline's throughput and our speed-up as two more table cells, when there is a baseline.
compare_cells() {
  [[ -n $baseline ]] || return 0
  awk -v mb="$1" -v s="$secs" -v b="$base_secs" 'BEGIN { printf " %.0f | %.2fx |", mb / b, b / s }'
}
compare_header() { [[ -n $baseline ]] && printf '%s' "$1" || true; }

echo "| Program | Workload | Input MB/s | Lines/s | Peak RSS | Fraction of floor |$(compare_header ' Baseline MB/s | Speed-up |')"
echo "|---|---|---:|---:|---:|---:|$(compare_header '---:|---:|')"
for workload in random realistic type10 type2; do
  file=$data/$workload.cap
  mb=$(awk -v b="$(stat -c %s "$file")" 'BEGIN {print b / 1e6}')
  result=$(seconds "$floor" "$file")
  floor_mbs=$(awk -v mb="$mb" -v s="${result% *}" 'BEGIN {print mb / s}')
  printf '| checksum floor | %s | %.0f | | %.1f MB | 1.00 |%s\n' "$workload" "$floor_mbs" \
    "$(awk -v k="${result#* }" 'BEGIN {print k / 1024}')" "$(compare_header ' | |')"
  for program in dumpten dumptwo; do
    lines=$("$listers/$program/$program" "$file" 2>/dev/null | wc -l)
    measure "$program/$program" "$file"
    awk -v p="$program" -v w="$workload" -v mb="$mb" -v s="$secs" -v l="$lines" -v k="$rss" \
      -v f="$floor_mbs" 'BEGIN {
        printf "| %s | %s | %.0f | %.2fM | %.1f MB | %.2f |", p, w, mb / s, l / s / 1e6,
               k / 1024, mb / s / f }'
    echo "$(compare_cells "$mb")"
  done
done

echo
echo "| Program | Input | Peak RSS |"
echo "|---|---|---:|"
for workload in small realistic large; do
  file=$data/$workload.cap
  size=$(awk -v b="$(stat -c %s "$file")" 'BEGIN {printf "%.0f MB", b / 1e6}')
  for program in dumpten dumptwo; do
    baseline='' measure "$program/$program" "$file"
    awk -v p="$program" -v sz="$size" -v k="$rss" 'BEGIN {printf "| %s | %s | %.1f MB |\n", p, sz, k / 1024}'
  done
done

# capdump decodes and writes every packet, so its rate is packets framed and decoded a second
# (the CSV row writes only the type-10 ones, --stats none).
echo
echo "| Program | Workload | Input MB/s | Packets/s | Peak RSS |$(compare_header ' Baseline MB/s | Speed-up |')"
echo "|---|---|---:|---:|---:|$(compare_header '---:|---:|')"
file=$data/realistic.cap
mb=$(awk -v b="$(stat -c %s "$file")" 'BEGIN {print b / 1e6}')
packets=$("$listers/capdump/capdump" --stats --format jsonl "$file" | grep -o '"packets":[0-9]*')
for options in "" "--recover" "--format csv --type 10" "--stats"; do
  # shellcheck disable=SC2086  # the options are separate words
  measure capdump/capdump $options "$file"
  awk -v p="capdump${options:+ $options}" -v mb="$mb" -v s="$secs" -v n="${packets#*:}" -v k="$rss" \
    'BEGIN { printf "| %s | realistic | %.0f | %.2fM | %.1f MB |", p, mb / s, n / s / 1e6, k / 1024 }'
  echo "$(compare_cells "$mb")"
done
