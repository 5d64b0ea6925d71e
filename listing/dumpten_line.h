// dumpten_line.h - the record line dumpten prints for each type-10 packet.
#ifndef DUMPTEN_DUMPTEN_LINE_H
#define DUMPTEN_DUMPTEN_LINE_H

#include <cstddef>
#include <cstdint>

#include "listing/listing.h"
#include "listing/record_pieces.h"

namespace listing {

// The types of the records a line shows.
inline constexpr uint32_t kDumptenShown =
    type_bits<Type1Record, Type10Record, Type12Record, Type15Record, Type20Record>();

// The numbers of a line, in order, as format() writes them for the packet just decoded.
inline constexpr std::size_t kDumptenNumbers = 42;
void dumpten_numbers(const PacketDecoder &decoder, int64_t *numbers);

// Clears the fresh flags a line shows, as format() does once it has written the line.
void dumpten_line_shown(PacketDecoder &decoder);

// The 42 numbers of a line: the newest type 1, this type 10, the newest types 12, 15 and 20 with
// their fresh flags. Formatting clears the fresh flags of types 12, 15 and 20.
class DumptenLine final : public LineFormatter {
 public:
  DumptenLine() : LineFormatter(kDumptenShown) {}
  char *format(PacketDecoder &decoder, uint32_t changed, char *out) override;

 private:
  CachedPiece<16> type1_;
  CachedPiece<96> type12_;
  CachedPiece<64> type15_;
  CachedPiece<160> type20_;
};

}  // namespace listing

#endif  // DUMPTEN_DUMPTEN_LINE_H
