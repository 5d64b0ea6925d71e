// dumptwo_line.h - the record line dumptwo prints for each type-2 packet.
#ifndef DUMPTWO_DUMPTWO_LINE_H
#define DUMPTWO_DUMPTWO_LINE_H

#include <cstddef>
#include <cstdint>

#include "listing/listing.h"
#include "listing/record_pieces.h"

namespace listing {

// The types of the records a line shows.
inline constexpr uint32_t kDumptwoShown = type_bits<Type2Record, Type20Record>();

// The numbers of a line, in order, as format() writes them for the packet just decoded.
inline constexpr std::size_t kDumptwoNumbers = 24;
void dumptwo_numbers(const PacketDecoder &decoder, int64_t *numbers);

// Clears the fresh flag a line shows, as format() does once it has written the line.
void dumptwo_line_shown(PacketDecoder &decoder);

// The 24 numbers of a line: this type 2 and the newest type 20 with its fresh flag. Formatting
// clears the fresh flag of type 20.
class DumptwoLine final : public LineFormatter {
 public:
  DumptwoLine() : LineFormatter(kDumptwoShown) {}
  char *format(PacketDecoder &decoder, uint32_t changed, char *out) override;

 private:
  CachedPiece<160> type20_;
};

}  // namespace listing

#endif  // DUMPTWO_DUMPTWO_LINE_H
