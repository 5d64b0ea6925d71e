#include "listing/dumpten_line.h"

namespace listing {

namespace {

// "%hu %hd"
char *put_type1_piece(char *out, const Type1Record &r) {
  return io::put_field(io::put_decimal(out, uint32_t{r.uword}), r.word);
}

// " %ld %ld %ld %ld %ld %ld %d": the type-12 record after its fresh flag.
char *put_type12_piece(char *out, const Type12Record &r) {
  return io::put_field(io::put_fields(out, r.longs), r.tail);
}

// " %hu %hu %hu %hu %hu %hu %d": the type-15 record after its fresh flag.
char *put_type15_piece(char *out, const Type15Record &r) {
  return io::put_field(io::put_fields(out, r.uwords), r.tail);
}

}  // namespace

char *DumptenLine::format(PacketDecoder &d, uint32_t changed, char *out) {
  out = type1_.put(out, record_changed<Type1Record>(changed), d.rec1, put_type1_piece);
  out = put_words_tail(io::put_field(out, d.rec10.lead), d.rec10);
  out = type12_.put(io::put_field(out, d.rec12.fresh), record_changed<Type12Record>(changed),
                    d.rec12, put_type12_piece);
  out = type15_.put(io::put_field(out, d.rec15.fresh), record_changed<Type15Record>(changed),
                    d.rec15, put_type15_piece);
  out = type20_.put(io::put_field(out, d.rec20.fresh), record_changed<Type20Record>(changed),
                    d.rec20, put_type20_piece);
  *out++ = '\n';
  dumpten_line_shown(d);
  return out;
}

void dumpten_numbers(const PacketDecoder &d, int64_t *numbers) {
  numbers = put_numbers(numbers, d.rec1.uword, d.rec1.word);
  numbers = put_numbers(numbers, d.rec10.lead, d.rec10.words, d.rec10.tail);
  numbers = put_numbers(numbers, d.rec12.fresh, d.rec12.longs, d.rec12.tail);
  numbers = put_numbers(numbers, d.rec15.fresh, d.rec15.uwords, d.rec15.tail);
  put_type20_numbers(numbers, d.rec20);
}

void dumpten_line_shown(PacketDecoder &d) {
  d.rec12.fresh = 0;
  d.rec15.fresh = 0;
  d.rec20.fresh = 0;
}

}  // namespace listing
