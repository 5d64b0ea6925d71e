// dumptwo_line.h - the record line dumptwo prints for each type-2 packet.
#ifndef DUMPTWO_DUMPTWO_LINE_H
#define DUMPTWO_DUMPTWO_LINE_H

#include "listing.h"
#include "record_pieces.h"

// The 24 numbers of a line: this type 2 and the newest type 20 with its fresh flag. Formatting
// clears the fresh flag of type 20.
class DumptwoLine final : public LineFormatter {
 public:
  char *format(PacketDecoder &decoder, char *out) override;

 private:
  CachedPiece<Type20Record, 160> type20_;
};

#endif  // DUMPTWO_DUMPTWO_LINE_H
