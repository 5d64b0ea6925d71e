// dumptwo_line.h - the record line dumptwo prints for each type-2 packet.
#ifndef LISTING_DUMPTWO_LINE_H
#define LISTING_DUMPTWO_LINE_H

#include <cstddef>

#include "listing/record_line.h"
#include "listing/type20_part.h"

namespace listing {

// The 24 numbers of a line: this type 2 and the newest type 20 with its fresh flag. Formatting
// clears the fresh flag of type 20.
using DumptwoLine = RecordLine<LinePart<&PacketDecoder::rec2, Shown::kListed, &Type2Record::lead,
                                        &Type2Record::words, &Type2Record::tail>,
                               Type20Part>;
static_assert(DumptwoLine::kNumbers == 24, "the columns the listing's readers know");

}  // namespace listing

#endif  // LISTING_DUMPTWO_LINE_H
