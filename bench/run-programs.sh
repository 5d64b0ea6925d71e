#!/usr/bin/env bash
# Whole-process benchmark of dumpten and dumptwo: builds the optimised preset, makes the
# workloads with capgen (deterministic, kept in build/bench-data), runs every program several
# times with stdout and stderr to /dev/null and prints a Markdown table of medians: input MB/s,
# lines/s, peak resident memory, and throughput as a fraction of the checksum floor (one pass
# over the file in large reads running the two checksum sums).
#
# Usage: bench/run-programs.sh [RUNS]   (RUNS defaults to 5)
# LISTERS=DIR measures the dumpten, dumptwo and capdump of another build tree (DIR/dumpten/dumpten
# ...). A last table gives capdump on the realistic workload in each of its output forms.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
bin=build/default
data=build/bench-data
listers=${LISTERS:-$bin}

cmake --preset default >/dev/null
cmake --build --preset default --target dumpten dumptwo capdump capgen checksum_floor >/dev/null
mkdir -p "$data"

# make NAME CAPGEN-OPTIONS...: generates a workload once.
make_workload() {
  local name=$1
  shift
  [[ -s $data/$name ]] || "$bin/capgen/capgen" "$@" "$data/$name"
}
make_workload random.cap --random-bytes --size 256M --seed 1
make_workload realistic.cap --size 256M --seed 1
make_workload type10.cap --types 10 --size 256M --seed 1
make_workload type2.cap --types 2 --size 256M --seed 1
make_workload small.cap --size 1M --seed 2
make_workload large.cap --size 1G --seed 3

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# measure COMMAND...: sets $secs to the median wall time of $runs runs and $rss to the largest
# peak resident memory (KiB).
measure() {
  local times=() start end kib
  rss=0
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    /usr/bin/time -o "$data/.rss" -f %M "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    times+=("$(awk -v ns=$((end - start)) 'BEGIN {printf "%.6f", ns / 1e9}')")
    kib=$(tail -n 1 "$data/.rss")
    ((kib > rss)) && rss=$kib
  done
  secs=$(printf '%s\n' "${times[@]}" | median)
}

echo "| Program | Workload | Input MB/s | Lines/s | Peak RSS | Fraction of floor |"
echo "|---|---|---:|---:|---:|---:|"
for workload in random realistic type10 type2; do
  file=$data/$workload.cap
  mb=$(awk -v b="$(stat -c %s "$file")" 'BEGIN {print b / 1e6}')
  measure "$bin/bench/checksum_floor" "$file"
  floor_mbs=$(awk -v mb="$mb" -v s="$secs" 'BEGIN {print mb / s}')
  printf '| checksum floor | %s | %.0f | | %.1f MB | 1.00 |\n' "$workload" "$floor_mbs" \
    "$(awk -v k="$rss" 'BEGIN {print k / 1024}')"
  for program in dumpten dumptwo; do
    lines=$("$listers/$program/$program" "$file" 2>/dev/null | wc -l)
    measure "$listers/$program/$program" "$file"
    awk -v p="$program" -v w="$workload" -v mb="$mb" -v s="$secs" -v l="$lines" -v k="$rss" \
      -v f="$floor_mbs" 'BEGIN {
        printf "| %s | %s | %.0f | %.2fM | %.1f MB | %.2f |\n", p, w, mb / s, l / s / 1e6,
               k / 1024, mb / s / f }'
  done
done

echo
echo "| Program | Input | Peak RSS |"
echo "|---|---|---:|"
for workload in small realistic large; do
  file=$data/$workload.cap
  size=$(awk -v b="$(stat -c %s "$file")" 'BEGIN {printf "%.0f MB", b / 1e6}')
  for program in dumpten dumptwo; do
    measure "$listers/$program/$program" "$file"
    awk -v p="$program" -v sz="$size" -v k="$rss" 'BEGIN {printf "| %s | %s | %.1f MB |\n", p, sz, k / 1024}'
  done
done

# capdump decodes and writes every packet, so its rate is packets framed and decoded a second
# (the CSV row writes only the type-10 ones, --stats none).
echo
echo "| Program | Workload | Input MB/s | Packets/s | Peak RSS |"
echo "|---|---|---:|---:|---:|"
file=$data/realistic.cap
mb=$(awk -v b="$(stat -c %s "$file")" 'BEGIN {print b / 1e6}')
packets=$("$listers/capdump/capdump" --stats --format jsonl "$file" | grep -o '"packets":[0-9]*')
for options in "" "--recover" "--format csv --type 10" "--stats"; do
  # shellcheck disable=SC2086  # the options are separate words
  measure "$listers/capdump/capdump" $options "$file"
  awk -v p="capdump${options:+ $options}" -v mb="$mb" -v s="$secs" -v n="${packets#*:}" -v k="$rss" \
    'BEGIN { printf "| %s | realistic | %.0f | %.2fM | %.1f MB |\n", p, mb / s, n / s / 1e6, k / 1024 }'
done
