// Numbers as text: integers of every width at each change of digit count as std::to_chars and
// printf print them, shortest floating-point text that reads back as the same value, and
// hexadecimal bytes and bit patterns.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "io/number_text.h"

namespace {

// What put writes into a fresh buffer.
template <typename Put>
std::string text_of(Put put) {
  char buffer[64];
  return std::string(buffer, put(buffer));
}

// Every value where the digit count changes that Int holds: each power of ten, one below and
// one above it, their negations, and Int's extremes.
template <typename Int>
std::vector<Int> digit_count_edges() {
  using Limits = std::numeric_limits<Int>;
  std::vector<Int> values = {Limits::min(), Limits::max()};
  const auto max = static_cast<uint64_t>(Limits::max());
  for (uint64_t power = 1;; power *= 10) {
    for (const uint64_t value : {power - 1, power, power + 1}) {
      if (value > max) continue;
      values.push_back(static_cast<Int>(value));
      if constexpr (Limits::is_signed) values.push_back(static_cast<Int>(-static_cast<Int>(value)));
    }
    if (power > max / 10) return values;
  }
}

// put_decimal against std::to_chars for Int, and put_field against printf for Int of at most 32
// bits, at every digit-count edge.
template <typename Int>
void expect_standard_text_at_edges() {
  for (const Int value : digit_count_edges<Int>()) {
    SCOPED_TRACE(std::to_string(value) + " of " + std::to_string(sizeof(Int)) + " bytes");
    char expected[32];
    EXPECT_EQ(text_of([&](char *out) { return io::put_decimal(out, value); }),
              std::string(expected, std::to_chars(expected, expected + 32, value).ptr));
    if constexpr (sizeof(Int) <= 4) {
      if constexpr (std::numeric_limits<Int>::is_signed) {
        std::snprintf(expected, sizeof expected, " %ld", static_cast<long>(value));
      } else {
        std::snprintf(expected, sizeof expected, " %lu", static_cast<unsigned long>(value));
      }
      EXPECT_EQ(text_of([&](char *out) { return io::put_field(out, value); }), expected);
    }
  }
}

TEST(NumberText, DecimalOfEveryWidthIsStandardTextAtDigitCountEdges) {
  expect_standard_text_at_edges<int8_t>();
  expect_standard_text_at_edges<uint8_t>();
  expect_standard_text_at_edges<int16_t>();
  expect_standard_text_at_edges<uint16_t>();
  expect_standard_text_at_edges<int32_t>();
  expect_standard_text_at_edges<uint32_t>();
  expect_standard_text_at_edges<int64_t>();
  expect_standard_text_at_edges<uint64_t>();
  expect_standard_text_at_edges<long long>();
  expect_standard_text_at_edges<unsigned long long>();
}

TEST(NumberText, FieldsArePrecededBySpaces) {
  const int16_t words[] = {-32768, 0, 32767};
  EXPECT_EQ(
      text_of([&](char *out) { return io::put_fields(io::put_field(out, uint8_t{1}), words); }),
      " 1 -32768 0 32767");
}

TEST(NumberText, ShortestTextReadsBackAsFloatingPoint) {
  EXPECT_EQ(text_of([](char *out) { return io::put_shortest(out, 1.0f); }), "1.0");
  EXPECT_EQ(text_of([](char *out) { return io::put_shortest(out, -0.0); }), "-0.0");
  EXPECT_EQ(text_of([](char *out) { return io::put_shortest(out, 0.1f); }), "0.1");
  EXPECT_EQ(text_of([](char *out) { return io::put_shortest(out, 1e300); }), "1e+300");
  const double longest = -std::numeric_limits<double>::min();
  EXPECT_EQ(text_of([&](char *out) { return io::put_shortest(out, longest); }),
            "-2.2250738585072014e-308");
}

TEST(NumberText, HexOfBytesAndBitPatterns) {
  const uint8_t bytes[] = {0x00, 0x0f, 0xa1, 0xff};
  EXPECT_EQ(text_of([&](char *out) { return io::put_hex(out, bytes, sizeof bytes); }), "000fa1ff");
  EXPECT_EQ(text_of([](char *out) { return io::put_bits(out, std::nanf("")); }), "7fc00000");
  EXPECT_EQ(text_of([](char *out) { return io::put_bits(out, -2.0); }), "c000000000000000");
}

}  // namespace
