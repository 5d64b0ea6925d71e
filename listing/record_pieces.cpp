#include "listing/record_pieces.h"

char *put_type20_piece(char *out, const Type20Record &r) {
  out = put_field(out, r.lead);
  out = put_field(out, r.uword_a);
  out = put_field(out, r.uword_b);
  out = put_fields(out, r.longs);
  return put_fields(out, r.uwords);
}

int64_t *put_type20_numbers(int64_t *out, const Type20Record &r) {
  return put_numbers(out, r.fresh, r.lead, r.uword_a, r.uword_b, r.longs, r.uwords);
}
