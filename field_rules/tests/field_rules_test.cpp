// The rules' promises: the values they take, as what, and the ones they refuse.
#include "field_rules/field_rules.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

TEST(FieldRules, AnIntegerIsTakenWithinItsTypesRange) {
  EXPECT_EQ(field_rules::integer_value<uint8_t>(255), uint8_t{255});
  EXPECT_EQ(field_rules::integer_value<uint8_t>(256), std::nullopt);
  EXPECT_EQ(field_rules::integer_value<int16_t>(-32768LL), int16_t{-32768});
  EXPECT_EQ(field_rules::integer_value<uint32_t>(-1), std::nullopt);
  EXPECT_EQ(field_rules::integer_value<int32_t>(std::numeric_limits<uint64_t>::max()),
            std::nullopt);
  EXPECT_EQ(field_rules::integer_range<int16_t>(), "an integer from -32768 to 32767");
  EXPECT_EQ(field_rules::must_be("word", field_rules::integer_range<int16_t>()),
            "field 'word' must be an integer from -32768 to 32767");
}

TEST(FieldRules, AFloatIsTheOneWhoseShortestTextWasPrinted) {
  // 7.038531e-26 is the shortest text of the float 0x15AE43FD; read as a double and rounded to
  // float once more it would give the next float.
  const double read_as_double = 7.038531e-26;
  EXPECT_NE(std::bit_cast<uint32_t>(static_cast<float>(read_as_double)), 0x15AE43FDu);
  EXPECT_EQ(std::bit_cast<uint32_t>(*field_rules::float_value(read_as_double)), 0x15AE43FDu);
  EXPECT_EQ(field_rules::float_value(0.1), 0.1f);
  EXPECT_EQ(field_rules::float_value(-3.0e38), -3.0e38f);
  // A float given as a double comes back as itself.
  const float odd = std::bit_cast<float>(0x3DCCCCCEu);
  EXPECT_EQ(std::bit_cast<uint32_t>(*field_rules::float_value(odd)), 0x3DCCCCCEu);
}

TEST(FieldRules, AFiniteNumberBeyondAFloatIsRefusedAndInfinitiesAndNaNsKept) {
  EXPECT_EQ(field_rules::float_value(1e39), std::nullopt);
  EXPECT_EQ(field_rules::float_value(-1e39), std::nullopt);
  EXPECT_EQ(field_rules::float_value(std::numeric_limits<float>::max()),
            std::numeric_limits<float>::max());
  EXPECT_EQ(field_rules::float_value(-INFINITY), -INFINITY);
  // A signalling NaN with a payload, widened to double as the Python package widens it.
  const double signalling = std::bit_cast<double>(0xFFF00000A0000000ULL);
  EXPECT_EQ(std::bit_cast<uint32_t>(*field_rules::float_value(signalling)), 0xFF800005u);
  // A NaN whose payload lies below a float's bits stays a NaN.
  const double low = std::bit_cast<double>(0x7FF0000000000001ULL);
  EXPECT_EQ(std::bit_cast<uint32_t>(*field_rules::float_value(low)), 0x7FC00000u);
}

TEST(FieldRules, EntriesGivenWithACountMustBeThatMany) {
  EXPECT_EQ(field_rules::entry_count(std::nullopt, 3), uint8_t{3});
  EXPECT_EQ(field_rules::entry_count(uint8_t{2}, 2), uint8_t{2});
  EXPECT_EQ(field_rules::entry_count(uint8_t{2}, 1), std::nullopt);
  EXPECT_EQ(field_rules::entry_count(uint8_t{0}, 1), std::nullopt);
}

}  // namespace
