// dumpten_line.h - the record line dumpten prints for each type-10 packet.
#ifndef DUMPTEN_DUMPTEN_LINE_H
#define DUMPTEN_DUMPTEN_LINE_H

#include "listing.h"
#include "record_pieces.h"

// The 42 numbers of a line: the newest type 1, this type 10, the newest types 12, 15 and 20 with
// their fresh flags. Formatting clears the fresh flags of types 12, 15 and 20.
class DumptenLine final : public LineFormatter {
 public:
  char *format(PacketDecoder &decoder, char *out) override;

 private:
  CachedPiece<Type1Record, 16> type1_;
  CachedPiece<Type12Record, 96> type12_;
  CachedPiece<Type15Record, 64> type15_;
  CachedPiece<Type20Record, 160> type20_;
};

#endif  // DUMPTEN_DUMPTEN_LINE_H
