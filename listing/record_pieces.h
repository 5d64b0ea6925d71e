// record_pieces.h - pieces of the record lines that both listing programs print the same way,
// and a cache for pieces whose record rarely changes between lines.
#ifndef LISTING_RECORD_PIECES_H
#define LISTING_RECORD_PIECES_H

#include <protolib/decoder.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "io/number_text.h"

namespace listing {

// Writes " %hd %hd %hd %hd %hd %hd %hd %hd %hd %d": the nine words and tail of a type-2 or
// type-10 record.
template <typename Record>
char *put_words_tail(char *out, const Record &r) {
  return io::put_field(io::put_fields(out, r.words), r.tail);
}

// Writes " %lu %hu %hu %ld %ld %ld %ld %ld %ld %hu %hu %hu": the type-20 record after its fresh
// flag, which lines show before it.
char *put_type20_piece(char *out, const Type20Record &r);

// Stores each value, and each element of each array value, as the number a line prints for it;
// returns the position after them.
template <typename... Values>
int64_t *put_numbers(int64_t *out, const Values &...values) {
  const auto put = [&out](const auto &value) {
    if constexpr (std::is_array_v<std::remove_reference_t<decltype(value)>>) {
      for (auto element : value) *out++ = element;
    } else {
      *out++ = value;
    }
  };
  (put(values), ...);
  return out;
}

// Stores the 13 numbers a line shows for a type-20 record: its fresh flag, then those
// put_type20_piece writes.
int64_t *put_type20_numbers(int64_t *out, const Type20Record &r);

// The text of a piece formatted from a record, kept from line to line and formatted again only
// when the record has changed.
template <std::size_t MaxText>
class CachedPiece {
 public:
  // Writes the text format(out, record) writes (at most MaxText characters): format's anew when
  // changed, which the first call must be; otherwise the text kept from the last call.
  template <typename Record, typename Format>
  char *put(char *out, bool changed, const Record &record, Format format) {
    if (changed) size_ = static_cast<std::size_t>(format(text_, record) - text_);
    std::memcpy(out, text_, size_);
    return out + size_;
  }

 private:
  std::size_t size_ = 0;
  char text_[MaxText]{};
};

}  // namespace listing

#endif  // LISTING_RECORD_PIECES_H
