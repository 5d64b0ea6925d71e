#include "listing/dumptwo_line.h"

namespace listing {

char *DumptwoLine::format(PacketDecoder &d, uint32_t changed, char *out) {
  out = put_words_tail(io::put_decimal(out, d.rec2.lead), d.rec2);
  out = type20_.put(io::put_field(out, d.rec20.fresh), record_changed<Type20Record>(changed),
                    d.rec20, put_type20_piece);
  *out++ = '\n';
  dumptwo_line_shown(d);
  return out;
}

void dumptwo_numbers(const PacketDecoder &d, int64_t *numbers) {
  put_type20_numbers(put_numbers(numbers, d.rec2.lead, d.rec2.words, d.rec2.tail), d.rec20);
}

void dumptwo_line_shown(PacketDecoder &d) {
  d.rec20.fresh = 0;
}

}  // namespace listing
