#include "record_pieces.h"

void print_type20_piece(const Type20Record &r, FILE *out) {
  std::fprintf(out, " %d %lu %hu %hu %ld %ld %ld %ld %ld %ld %hu %hu %hu", r.fresh,
               static_cast<unsigned long>(r.lead), r.uword_a, r.uword_b,
               static_cast<long>(r.longs[0]), static_cast<long>(r.longs[1]),
               static_cast<long>(r.longs[2]), static_cast<long>(r.longs[3]),
               static_cast<long>(r.longs[4]), static_cast<long>(r.longs[5]), r.uwords[0],
               r.uwords[1], r.uwords[2]);
}
