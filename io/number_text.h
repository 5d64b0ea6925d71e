// number_text.h - decimal text of record fields, byte for byte what printf gives: %hu, %lu and
// %d for unsigned fields of 8 to 32 bits, %hd and %ld for signed fields of 16 and 32 bits.
#ifndef IO_NUMBER_TEXT_H
#define IO_NUMBER_TEXT_H

#include <charconv>
#include <cstddef>
#include <cstdint>

// Writes value in decimal at out and returns the position after it (at most 10 characters).
inline char *put_decimal(char *out, uint32_t value) {
  return std::to_chars(out, out + 10, value).ptr;
}

// Writes value in decimal, with a leading '-' when negative (at most 11 characters).
inline char *put_decimal(char *out, int32_t value) {
  return std::to_chars(out, out + 11, value).ptr;
}

// Writes a space, then value as put_decimal does.
template <typename Int>
char *put_field(char *out, Int value) {
  *out = ' ';
  if constexpr (Int(-1) < Int(0)) {
    return put_decimal(out + 1, static_cast<int32_t>(value));
  } else {
    return put_decimal(out + 1, static_cast<uint32_t>(value));
  }
}

// Writes put_field for every element of an array.
template <typename Int, std::size_t N>
char *put_fields(char *out, const Int (&values)[N]) {
  for (Int value : values) out = put_field(out, value);
  return out;
}

#endif  // IO_NUMBER_TEXT_H
