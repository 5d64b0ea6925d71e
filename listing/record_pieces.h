// record_pieces.h - pieces of the record lines that both listing programs print the same way,
// and a cache for pieces whose record rarely changes between lines.
#ifndef LISTING_RECORD_PIECES_H
#define LISTING_RECORD_PIECES_H

#include <protolib/decoder.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "number_text.h"

// Writes " %hd %hd %hd %hd %hd %hd %hd %hd %hd %d": the nine words and tail of a type-2 or
// type-10 record.
template <typename Record>
char *put_words_tail(char *out, const Record &r) {
  return put_field(put_fields(out, r.words), r.tail);
}

// Writes " %d %lu %hu %hu %ld %ld %ld %ld %ld %ld %hu %hu %hu": the type-20 record with its
// fresh flag.
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

// Stores the 13 numbers put_type20_piece writes.
int64_t *put_type20_numbers(int64_t *out, const Type20Record &r);

// Remembers the text of a piece formatted from a record and formats it again only when the
// record's bytes change. Text and record stay consistent whatever the record held before.
template <typename Record, std::size_t MaxText>
class CachedPiece {
 public:
  // Writes the text that format(out, record) writes and returns the position after it.
  template <typename Format>
  char *put(char *out, const Record &record, Format format) {
    // Padding takes part in the comparison; it only ever makes the piece be formatted again.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    if (!valid_ || std::memcmp(&record, &record_, sizeof record) != 0) {
      std::memcpy(&record_, &record, sizeof record);
      size_ = static_cast<std::size_t>(format(text_, record) - text_);
      valid_ = true;
    }
    std::memcpy(out, text_, size_);
    return out + size_;
  }

 private:
  bool valid_ = false;
  Record record_;
  std::size_t size_ = 0;
  char text_[MaxText];
};

#endif  // LISTING_RECORD_PIECES_H
