#include "dumpten_line.h"

#include "record_pieces.h"

void print_dumpten_line(PacketDecoder &d, FILE *out) {
  std::fprintf(out, "%hu %hd ", d.rec1.uword, d.rec1.word);
  print_lead_words_tail(d.rec10, out);
  const Type12Record &r12 = d.rec12;
  std::fprintf(out, " %d %ld %ld %ld %ld %ld %ld %d", r12.fresh, static_cast<long>(r12.longs[0]),
               static_cast<long>(r12.longs[1]), static_cast<long>(r12.longs[2]),
               static_cast<long>(r12.longs[3]), static_cast<long>(r12.longs[4]),
               static_cast<long>(r12.longs[5]), r12.tail);
  const Type15Record &r15 = d.rec15;
  std::fprintf(out, " %d %hu %hu %hu %hu %hu %hu %d", r15.fresh, r15.uwords[0], r15.uwords[1],
               r15.uwords[2], r15.uwords[3], r15.uwords[4], r15.uwords[5], r15.tail);
  print_type20_piece(d.rec20, out);
  std::fputc('\n', out);
  d.rec12.fresh = 0;
  d.rec15.fresh = 0;
  d.rec20.fresh = 0;
}
