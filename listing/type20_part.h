// type20_part.h - the newest type-20 record as both listers show it, after its fresh flag.
#ifndef LISTING_TYPE20_PART_H
#define LISTING_TYPE20_PART_H

#include "listing/record_line.h"

namespace listing {

// " %d %lu %hu %hu %ld %ld %ld %ld %ld %ld %hu %hu %hu": fresh flag, lead, both words, the longs
// and the uwords.
using Type20Part = LinePart<&PacketDecoder::rec20, Shown::kLatestWithFresh, &Type20Record::lead,
                            &Type20Record::uword_a, &Type20Record::uword_b, &Type20Record::longs,
                            &Type20Record::uwords>;

}  // namespace listing

#endif  // LISTING_TYPE20_PART_H
