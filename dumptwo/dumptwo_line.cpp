#include "dumptwo_line.h"

#include "record_pieces.h"

void print_dumptwo_line(PacketDecoder &d, FILE *out) {
  print_lead_words_tail(d.rec2, out);
  print_type20_piece(d.rec20, out);
  std::fputc('\n', out);
  d.rec20.fresh = 0;
}
