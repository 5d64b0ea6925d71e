#include "listing/record_pieces.h"

namespace listing {

char *put_type20_piece(char *out, const Type20Record &r) {
  out = io::put_field(out, r.lead);
  out = io::put_field(out, r.uword_a);
  out = io::put_field(out, r.uword_b);
  out = io::put_fields(out, r.longs);
  return io::put_fields(out, r.uwords);
}

int64_t *put_type20_numbers(int64_t *out, const Type20Record &r) {
  return put_numbers(out, r.fresh, r.lead, r.uword_a, r.uword_b, r.longs, r.uwords);
}

}  // namespace listing
