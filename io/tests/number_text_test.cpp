// Numbers as text: integers of every width at their extremes as printf prints them, shortest
// floating-point text that reads back as the same value, and hexadecimal bytes and bit patterns.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "number_text.h"

namespace {

// What put writes into a fresh buffer.
template <typename Put>
std::string text_of(Put put) {
  char buffer[64];
  return std::string(buffer, put(buffer));
}

template <typename Int>
void expect_printf_text_at_extremes(const char *format) {
  for (const Int value :
       {std::numeric_limits<Int>::min(), Int{0}, Int{7}, std::numeric_limits<Int>::max()}) {
    char expected[32];
    std::snprintf(expected, sizeof expected, format, value);
    EXPECT_EQ(text_of([&](char *out) { return put_decimal(out, value); }), expected);
  }
}

TEST(NumberText, DecimalOfEveryWidthIsPrintfText) {
  expect_printf_text_at_extremes<int8_t>("%hhd");
  expect_printf_text_at_extremes<uint8_t>("%hhu");
  expect_printf_text_at_extremes<int16_t>("%hd");
  expect_printf_text_at_extremes<uint16_t>("%hu");
  expect_printf_text_at_extremes<int32_t>("%d");
  expect_printf_text_at_extremes<uint32_t>("%u");
  expect_printf_text_at_extremes<long long>("%lld");
  expect_printf_text_at_extremes<unsigned long long>("%llu");
}

TEST(NumberText, FieldsArePrecededBySpaces) {
  const int16_t words[] = {-32768, 0, 32767};
  EXPECT_EQ(text_of([&](char *out) { return put_fields(put_field(out, uint8_t{1}), words); }),
            " 1 -32768 0 32767");
}

TEST(NumberText, ShortestTextReadsBackAsFloatingPoint) {
  EXPECT_EQ(text_of([](char *out) { return put_shortest(out, 1.0f); }), "1.0");
  EXPECT_EQ(text_of([](char *out) { return put_shortest(out, -0.0); }), "-0.0");
  EXPECT_EQ(text_of([](char *out) { return put_shortest(out, 0.1f); }), "0.1");
  EXPECT_EQ(text_of([](char *out) { return put_shortest(out, 1e300); }), "1e+300");
  const double longest = -std::numeric_limits<double>::min();
  EXPECT_EQ(text_of([&](char *out) { return put_shortest(out, longest); }),
            "-2.2250738585072014e-308");
}

TEST(NumberText, HexOfBytesAndBitPatterns) {
  const uint8_t bytes[] = {0x00, 0x0f, 0xa1, 0xff};
  EXPECT_EQ(text_of([&](char *out) { return put_hex(out, bytes, sizeof bytes); }), "000fa1ff");
  EXPECT_EQ(text_of([](char *out) { return put_bits(out, std::nanf("")); }), "7fc00000");
  EXPECT_EQ(text_of([](char *out) { return put_bits(out, -2.0); }), "c000000000000000");
}

}  // namespace
