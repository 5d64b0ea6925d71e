// value_text.h - text of field values as the output formats print them: integers in decimal,
// floating-point values in their shortest exact form, bytes and bit patterns in hexadecimal.
#ifndef CAPDUMP_SRC_VALUE_TEXT_H
#define CAPDUMP_SRC_VALUE_TEXT_H

#include <algorithm>
#include <bit>
#include <charconv>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace capdump {

// The most characters put_integer and put_shortest write.
inline constexpr std::size_t kMaxNumberText = 26;

// Writes value in decimal, '-' first when negative; returns the position after it.
template <std::integral Int>
char *put_integer(char *out, Int value) {
  return std::to_chars(out, out + kMaxNumberText, value).ptr;
}

// Writes finite value as the shortest decimal text that reads back as the same value of its
// type, with ".0" added when that text has neither a point nor an exponent: every JSON reader
// then takes it as floating point, and -0.0 keeps its sign. Returns the position after it.
template <std::floating_point Float>
char *put_shortest(char *out, Float value) {
  char *end = std::to_chars(out, out + kMaxNumberText, value).ptr;
  if (std::find_if(out, end, [](char c) { return c == '.' || c == 'e'; }) == end) {
    *end++ = '.';
    *end++ = '0';
  }
  return end;
}

// Writes two lowercase hexadecimal digits a byte; returns the position after them.
inline char *put_hex(char *out, const uint8_t *bytes, std::size_t n) {
  constexpr char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < n; ++i) {
    *out++ = kDigits[bytes[i] >> 4];
    *out++ = kDigits[bytes[i] & 0xF];
  }
  return out;
}

// Writes the IEEE-754 bit pattern of value as hexadecimal digits, most significant first: 8
// for a float, 16 for a double.
template <std::floating_point Float>
char *put_bits(char *out, Float value) {
  using Bits = std::conditional_t<sizeof(Float) == 4, uint32_t, uint64_t>;
  auto bits = std::bit_cast<Bits>(value);
  uint8_t bytes[sizeof bits];
  for (std::size_t i = sizeof bits; i-- > 0; bits >>= 8) bytes[i] = static_cast<uint8_t>(bits);
  return put_hex(out, bytes, sizeof bits);
}

}  // namespace capdump

#endif  // CAPDUMP_SRC_VALUE_TEXT_H
