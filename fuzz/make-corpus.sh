#!/usr/bin/env bash
# Writes the seed corpus of the fuzz targets into DIR, the same bytes on every run: captures made
# with capgen (clean, each kind of damage, random bytes) and edge cases (empty, sync bytes only,
# a header cut off), each behind a few input headers that choose the chunk and read sizes; and
# capdump's JSON Lines of some of them, with a few hostile lines (one nested 2,000 deep), for the
# JSON Lines reader; field sets of each catalogue type; and command lines of capgen and capdump.
#
# Usage: fuzz/make-corpus.sh CAPGEN CAPDUMP DIR    (DIR is emptied first)
set -euo pipefail
capgen=$1
capdump=$2
dir=$3
root=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$dir"
mkdir -p "$dir"/{captures,framer_fuzz,listing_fuzz,writer_fuzz,jsonl_fuzz,dump_pass_fuzz} \
  "$dir"/{report_page_fuzz,read_tables_fuzz,encode_fuzz,capgen_options_fuzz,capdump_options_fuzz}
captures=$dir/captures

capture() {
  local name=$1
  shift
  "$capgen" "$@" "$captures/$name"
}
capture clean --size 6k --seed 1
capture printed-by-dumpten --types 1,10,12,15,20 --size 6k --seed 2
capture printed-by-dumptwo --types 2,20 --size 4k --seed 3
capture counted-types --types 21,22 --size 4k --seed 4
seed=10
for kind in noise stray-sync bad-a bad-b short long over-count unknown-type type0 truncate; do
  capture "damage-$kind" --damage "$kind" --damage-rate 0.3 --size 4k --seed $((seed++))
done
capture damage-all --damage all --damage-rate 0.5 --size 8k --seed 20
capture random-bytes --random-bytes --size 4k --seed 21
: >"$captures/empty"
head -c 2048 /dev/zero | tr '\0' '\201' >"$captures/all-81"
head -c 2048 /dev/zero | tr '\0' '\241' >"$captures/all-a1"
printf '\x81\xA1%.0s' {1..1024} >"$captures/alternating-81-a1"
{ cat "$captures/printed-by-dumpten"; printf '\x81\xA1\x0A'; } >"$captures/cut-in-header"

# Packet steps in fuzz_capture's step form (mode 1): a packet of each type the programs print
# and of both counted types, with noise payloads and right checksums; type 0; a header cut off.
noise=$captures/random-bytes
steps=$dir/steps
{
  printf '\x01'
  for packet in 0A:27 02:17 14:26 0C:1D 0F:11 01:08 00:00 15:86 16:F8 0A:27 02:17; do
    IFS=: read -r type length <<<"$packet"
    printf '%b' "\\x80\\x$type\\x$length"
    head -c $((16#$length)) "$noise"
  done
  printf '\x02\x81\xA1\x0A'
} >"$steps"

# Input headers (see each target's opening comment). framer_fuzz: ring size, receiver, chunk
# sizes. listing_fuzz: read sizes, failing read. Each header is followed by the mode byte 0 and a
# capture, or by the packet steps.
framer_headers=(
  '\x03\xFE\x00\x00\x00'                          # ring 1024, decoder, 1023 at a time
  '\x00\x05\x00\x00\x03\x00\x00\x00\x05\x01\x00'  # ring 7, decoder, chunks 1, 6, 5
  '\x01\x00\x80\x27\x02\x00\x1F\x00\x62'          # ring 258, framer of max_length 107
)
listing_headers=(
  '\x00\x00\x00'                  # reads of 64 KiB, none fails
  '\x02\x00\x10\x03\xFF\x00\x00'  # reads of 17 and 1024 bytes
  '\x01\x0F\xFF\x00\x02'          # reads of 4096 bytes, the second fails
)
# seed TARGET HEADERS...: every capture and the steps behind each header.
seed() {
  local target=$1 i file
  shift
  for ((i = 1; i <= $#; i++)); do
    for file in "$captures"/*; do
      { printf '%b' "${!i}\\x00"; cat "$file"; } >"$dir/$target/$(basename "$file")-$i"
    done
    { printf '%b' "${!i}"; cat "$steps"; } >"$dir/$target/steps-$i"
  done
}
# dump_pass_fuzz: flags and read sizes.
dump_pass_headers=(
  '\x00\x00'                  # no recovery, reads of 64 KiB
  '\x01\x02\x00\x10\x03\xFF'  # recovery, reads of 17 and 1024 bytes
  '\x03\x00'                  # recovery and a clock
)
# report_page_fuzz: flags, slices, the capture's name.
report_headers=(
  '\x00\xFF\x04demo'          # no recovery, capdump's 512 slices, named demo
  '\x03\x07\x05\x1B[31m'     # recovery and a clock, 16 slices, a name with an escape sequence
  '\x01\x00\x00'              # recovery, 2 slices, no name
)
# read_tables_fuzz: flags, then unless every type is kept, the kept types' bits.
read_tables_headers=(
  '\x08'                                     # every type kept, exact packets only
  '\x0F'                                     # and recovery, a clock, rows of every packet
  "\\x06\\x06\\x06$(printf '\\x00%.0s' {1..30})"  # types 1, 2, 9 and 10, a clock, every row
)
seed framer_fuzz "${framer_headers[@]}"
seed listing_fuzz "${listing_headers[@]}"
seed dump_pass_fuzz "${dump_pass_headers[@]}"
seed report_page_fuzz "${report_headers[@]}"
seed read_tables_fuzz "${read_tables_headers[@]}"

# jsonl_fuzz: read sizes and failing read (none, or reads of 100 bytes with the third failing),
# then the first lines of capdump's listing of a capture, rejected packets included, or a few
# hostile lines.
jsonl_headers=('\x00\x00\x00' '\x01\x00\x63\x00\x03')
for name in clean counted-types damage-all; do
  "$capdump" --errors "$captures/$name" >"$dir/listing"
  head -n 12 "$dir/listing" >"$dir/listing-$name"
  rm "$dir/listing"
done
printf '%s\n' '{"type":1,"offset":1e400}' '{"error":"checksum_a","offset":-1e400}' \
  '{"type":1,"leed\u001b[31m":1}' '{"type":22,"entries":[{"d1":null,"d1_bits":"7ff0000000000001"}]}' \
  '{"type":9,"payload":"0g"}' '{"type":21,"count":2,"entries":[{}]}' >"$dir/listing-hostile"
# Brackets nested 2,000 deep in a field: the reader refuses nesting deeper than 64.
{
  printf '{"type":1,"x":'
  printf '[%.0s' {1..2000}
  printf ']%.0s' {1..2000}
  printf '}\n'
} >"$dir/listing-nested"
for ((i = 0; i < ${#jsonl_headers[@]}; i++)); do
  for file in "$dir"/listing-*; do
    { printf '%b' "${jsonl_headers[i]}"; cat "$file"; } >"$dir/jsonl_fuzz/$(basename "$file")-$i"
  done
done

# writer_fuzz: each catalogue type with 255 payload bytes of noise; all of them in one input; a
# packet of type 5 with one field of each kind (u8, u16, i16, u32, i32, a NaN f32, a NaN f64).
mapfile -t types < <(sed -n 's/^PROTOLIB_PACKET(\([0-9]*\),.*/\1/p' \
  "$root/protolib/include/protolib/packet_types.def")
for type in "${types[@]}"; do
  { printf '%b' "\\x$(printf %02x "$type")"; head -c 255 "$noise"; } >"$dir/writer_fuzz/type-$type"
done
cat "$dir"/writer_fuzz/type-* >"$dir/writer_fuzz/all-types"
printf '\x05\x07\x00\xAB\x01\x12\x34\x02\x80\x00\x03\xDE\xAD\xBE\xEF\x04\x80\x00\x00\x00''\x05\x7F\xA0\x00\x01\x06\xFF\xF8\xDE\xAD\xBE\xEF\x00\x01' >"$dir/writer_fuzz/each-field-kind"

# encode_fuzz: each catalogue type (by its place in the catalogue) with every choice byte and
# value byte the same: 0x06 gives every field a value in range (accepted), 0x07 an integer from
# 8 bytes (refused where out of range), 0x08 strings and 0x09 fractions (refused), 0x01 values
# and then a key that names no field (refused).
for ((i = 0; i < ${#types[@]}; i++)); do
  for fill in 06 07 08 09 01; do
    { printf '%b' "\\x$(printf %02x "$i")"; head -c 1024 /dev/zero | tr '\0' "\\$(printf %03o "0x$fill")"; } \
      >"$dir/encode_fuzz/type-${types[i]}-$fill"
  done
done

# Command lines, their words separated by NUL bytes.
args() {
  local file=$1
  shift
  printf '%s\0' "$@" >"$file"
}
args "$dir/capgen_options_fuzz/sized" --size 6k --seed 1 out.cap
args "$dir/capgen_options_fuzz/damaged" --damage all --damage-rate 0.5 --types 1,10 out.cap
args "$dir/capgen_options_fuzz/from-jsonl" --from-jsonl - -
args "$dir/capgen_options_fuzz/random-packets" --random-bytes --packets=5 -- -out
args "$dir/capgen_options_fuzz/verbose-packets" --verbose --packets 9 out
args "$dir/capgen_options_fuzz/help" --help
args "$dir/capdump_options_fuzz/csv" --format csv --type 10 in.cap
args "$dir/capdump_options_fuzz/split" --format=csv --split dir in.cap
args "$dir/capdump_options_fuzz/report" --report page.html --recover -- -in
args "$dir/capdump_options_fuzz/stats" --stats --format jsonl --clock 1.uword:ms --gap 0.5 in
args "$dir/capdump_options_fuzz/range" --clock 1.uword:ms --from 1 --to 2.5 --exact-only -
args "$dir/capdump_options_fuzz/errors" --errors --type 1,2,255 --follow in
args "$dir/capdump_options_fuzz/version" --version
