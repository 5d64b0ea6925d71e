// dumpten_line.h - the record line dumpten prints for each type-10 packet.
#ifndef LISTING_DUMPTEN_LINE_H
#define LISTING_DUMPTEN_LINE_H

#include <cstddef>

#include "listing/record_line.h"
#include "listing/type20_part.h"

namespace listing {

// The 42 numbers of a line: the newest type 1, this type 10, the newest types 12, 15 and 20 with
// their fresh flags. Formatting clears the fresh flags of types 12, 15 and 20.
using DumptenLine = RecordLine<
    LinePart<&PacketDecoder::rec1, Shown::kLatest, &Type1Record::uword, &Type1Record::word>,
    LinePart<&PacketDecoder::rec10, Shown::kListed, &Type10Record::lead, &Type10Record::words,
             &Type10Record::tail>,
    LinePart<&PacketDecoder::rec12, Shown::kLatestWithFresh, &Type12Record::longs,
             &Type12Record::tail>,
    LinePart<&PacketDecoder::rec15, Shown::kLatestWithFresh, &Type15Record::uwords,
             &Type15Record::tail>,
    Type20Part>;
static_assert(DumptenLine::kNumbers == 42, "the columns the listing's readers know");

}  // namespace listing

#endif  // LISTING_DUMPTEN_LINE_H
