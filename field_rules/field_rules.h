// field_rules.h - the rules a catalogue record's fields are set by from values given from
// outside, by name: capgen's JSON Lines and the Python package's encode both go by them, so that
// they take and refuse the same values, with the same words.
#ifndef FIELD_RULES_FIELD_RULES_H
#define FIELD_RULES_FIELD_RULES_H

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace field_rules {

// The message that refuses a value of field name: "field 'NAME' must be EXPECTED".
std::string must_be(std::string_view name, std::string_view expected);

// An integer field of type Int takes an integer within Int's range: value as an Int, or none.
template <std::integral Int, std::integral Given>
std::optional<Int> integer_value(Given value) {
  if (!std::in_range<Int>(value)) return std::nullopt;
  return static_cast<Int>(value);
}

// What an integer field of type Int must be: "an integer from MIN to MAX".
template <std::integral Int>
std::string integer_range() {
  return "an integer from " + std::to_string(std::numeric_limits<Int>::min()) + " to " +
         std::to_string(std::numeric_limits<Int>::max());
}

// The float field's value for the number value: the float whose shortest decimal text reads as
// value, so that what a program printed comes back as the float it printed, even where rounding
// value once more to float gives the next float (7.038531e-26 is such a text); a NaN keeps its
// sign and its payload's top bits (a signalling NaN stays one), an infinity stays. None for a
// finite value beyond float's range.
std::optional<float> float_value(double value);

// The value of a field of type Float for the number value: float_value's for a float; a double
// takes every number as it is.
template <std::floating_point Float>
std::optional<Float> floating_value(double value) {
  if constexpr (std::is_same_v<Float, float>) {
    return float_value(value);
  } else {
    return value;
  }
}

// What a float or double field must be when floating_value refused the number.
inline constexpr std::string_view kFloatRange = "within the range of its type";

// The count byte of counted entries given with entries entries: their number, which must be
// given_count when the count is given too; none when it is not.
std::optional<uint8_t> entry_count(std::optional<uint8_t> given_count, std::size_t entries);

// What counted entries must be when entry_count refused them.
inline constexpr std::string_view kEntriesAsCounted = "as many objects as \"count\" says";

}  // namespace field_rules

#endif  // FIELD_RULES_FIELD_RULES_H
