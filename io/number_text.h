// number_text.h - numbers as the programs print them: integers in decimal, floating-point values
// in their shortest exact form, bytes and bit patterns in hexadecimal. Each function writes at
// out and returns the position after what it wrote.
#ifndef IO_NUMBER_TEXT_H
#define IO_NUMBER_TEXT_H

#include <algorithm>
#include <bit>
#include <charconv>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

// The most characters put_decimal and put_shortest write.
inline constexpr std::size_t kMaxNumberText = 26;

// The most characters put_decimal writes for a value of type Int: its digits and a sign.
template <std::integral Int>
inline constexpr std::size_t kMaxDecimal = std::numeric_limits<Int>::digits10 + 1 +
                                           (std::is_signed_v<Int> ? 1 : 0);

// Writes value in decimal, '-' first when negative.
template <std::integral Int>
inline char *put_decimal(char *out, Int value) {
  return std::to_chars(out, out + kMaxDecimal<Int>, value).ptr;
}

// Writes a space, then value (of at most 32 bits) in decimal: byte for byte what printf gives
// with %hu, %lu and %d for unsigned values of 8 to 32 bits, %hd and %ld for signed values of 16
// and 32 bits.
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

// Writes finite value as the shortest decimal text that reads back as the same value of its
// type, with ".0" added when that text has neither a point nor an exponent: every JSON reader
// then takes it as floating point, and -0.0 keeps its sign.
template <std::floating_point Float>
char *put_shortest(char *out, Float value) {
  char *end = std::to_chars(out, out + kMaxNumberText, value).ptr;
  if (std::find_if(out, end, [](char c) { return c == '.' || c == 'e'; }) == end) {
    *end++ = '.';
    *end++ = '0';
  }
  return end;
}

// Writes two lowercase hexadecimal digits a byte.
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

#endif  // IO_NUMBER_TEXT_H
