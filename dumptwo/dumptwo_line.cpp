#include "dumptwo_line.h"

char *DumptwoLine::format(PacketDecoder &d, char *out) {
  out = put_words_tail(put_decimal(out, d.rec2.lead), d.rec2);
  out = type20_.put(out, d.rec20, put_type20_piece);
  *out++ = '\n';
  d.rec20.fresh = 0;
  return out;
}
