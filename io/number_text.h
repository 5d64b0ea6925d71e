// number_text.h - numbers as the programs print them: integers in decimal, floating-point values
// in their shortest exact form, bytes and bit patterns in hexadecimal. Each function writes at
// out and returns the position after what it wrote.
#ifndef IO_NUMBER_TEXT_H
#define IO_NUMBER_TEXT_H

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

namespace io {

// The most characters put_decimal and put_shortest write.
inline constexpr std::size_t kMaxNumberText = 26;

// The most characters put_decimal writes for a value of type Int: its digits and a sign.
template <std::integral Int>
inline constexpr std::size_t kMaxDecimal = std::numeric_limits<Int>::digits10 + 1 +
                                           (std::is_signed_v<Int> ? 1 : 0);

namespace number_text_detail {

// The two digits of every value below 100, "00" to "99", one pair after another.
inline constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// The writers below take a value in the range each names and write it with no leading zeros, or
// with exactly the number of digits each names (leading zeros included). Each range is split
// into digit pairs by divisions of constant divisor or by one multiplication into a fixed-point
// fraction, with no count of the digits first.

// Writes value < 100 as two digits.
inline char *put_two_digits(char *out, uint32_t value) {
  std::memcpy(out, &kDigitPairs[std::size_t{value} * 2], 2);
  return out + 2;
}

// Writes value < 100.
inline char *put_below_100(char *out, uint32_t value) {
  if (value < 10) {
    *out = static_cast<char>('0' + value);
    return out + 1;
  }
  return put_two_digits(out, value);
}

// Writes value < 10^4 as four digits.
inline char *put_four_digits(char *out, uint32_t value) {
  const uint32_t high = value / 100;
  return put_two_digits(put_two_digits(out, high), value - high * 100);
}

// Writes value < 10^4.
inline char *put_below_10k(char *out, uint32_t value) {
  if (value < 100) return put_below_100(out, value);
  const uint32_t high = value / 100;
  return put_two_digits(put_below_100(out, high), value - high * 100);
}

// Writes value < 10^8 as eight digits.
inline char *put_eight_digits(char *out, uint32_t value) {
  const uint32_t high = value / 10'000;
  return put_four_digits(put_four_digits(out, high), value - high * 10'000);
}

// Writes a value below 100 * scale, where scale is 10^4 or 10^6: its leading one or two digits
// then, for each further factor of 100 in scale, two digits. The value is multiplied once into a
// fixed-point number of units of scale with 52 bits after the point, a little above the true one
// (by less than 10^8 / 2^52 < 10^-7 of a unit, too little for any pair's hundredfold
// multiplications to bring to a whole digit); each further pair is the integer part of the
// fraction times 100.
template <uint32_t Scale>
inline char *put_scaled(char *out, uint32_t value) {
  constexpr int kPoint = 52;
  constexpr uint64_t kFraction = (uint64_t{1} << kPoint) - 1;
  uint64_t fixed = uint64_t{value} * ((uint64_t{1} << kPoint) / Scale + 1);
  out = put_below_100(out, static_cast<uint32_t>(fixed >> kPoint));
  for (uint32_t left = Scale; left > 1; left /= 100) {
    fixed = (fixed & kFraction) * 100;
    out = put_two_digits(out, static_cast<uint32_t>(fixed >> kPoint));
  }
  return out;
}

// Writes value.
inline char *put_digits(char *out, uint32_t value) {
  if (value < 10'000) return put_below_10k(out, value);
  if (value < 1'000'000) return put_scaled<10'000>(out, value);
  if (value < 100'000'000) return put_scaled<1'000'000>(out, value);
  const uint32_t high = value / 100'000'000;  // below 43
  return put_eight_digits(put_below_100(out, high), value - high * 100'000'000);
}

// Writes value.
inline char *put_digits(char *out, uint64_t value) {
  constexpr uint64_t k1e8 = 100'000'000;
  if (value <= std::numeric_limits<uint32_t>::max()) {
    return put_digits(out, static_cast<uint32_t>(value));
  }
  const uint64_t high = value / k1e8;
  const auto low = static_cast<uint32_t>(value - high * k1e8);
  if (high < k1e8) return put_eight_digits(put_digits(out, static_cast<uint32_t>(high)), low);
  const uint64_t top = high / k1e8;  // below 1845
  const auto middle = static_cast<uint32_t>(high - top * k1e8);
  return put_eight_digits(put_eight_digits(put_below_10k(out, static_cast<uint32_t>(top)), middle),
                          low);
}

}  // namespace number_text_detail

// Writes value in decimal, '-' first when negative: the text of std::to_chars and printf.
template <std::integral Int>
inline char *put_decimal(char *out, Int value) {
  using Unsigned = std::conditional_t<(sizeof(Int) <= sizeof(uint32_t)), uint32_t, uint64_t>;
  auto magnitude = static_cast<Unsigned>(value);
  if constexpr (std::is_signed_v<Int>) {
    if (value < 0) {
      *out++ = '-';
      magnitude = Unsigned{0} - magnitude;
    }
  }
  return number_text_detail::put_digits(out, magnitude);
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

// Writes put_field for every element of an array, in straight-line code.
template <typename Int, std::size_t N>
char *put_fields(char *out, const Int (&values)[N]) {
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    ((out = put_field(out, values[I])), ...);
  }
  (std::make_index_sequence<N>{});
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

}  // namespace io

#endif  // IO_NUMBER_TEXT_H
