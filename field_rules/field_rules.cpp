#include "field_rules/field_rules.h"

#include <bit>
#include <charconv>
#include <cmath>

#include "cli/values.h"

namespace field_rules {

std::string must_be(std::string_view name, std::string_view expected) {
  std::string message = "field " + cli::quoted(name) + " must be ";
  message.append(expected);
  return message;
}

std::optional<float> float_value(double value) {
  if (std::isnan(value)) {
    const auto bits = std::bit_cast<uint64_t>(value);
    const auto sign = static_cast<uint32_t>(bits >> 63) << 31;
    auto payload = static_cast<uint32_t>(bits >> 29) & 0x7FFFFFU;
    if (payload == 0) payload = 0x400000U;  // bits lost below a float's: still a NaN, a quiet one
    return std::bit_cast<float>(sign | 0x7F800000U | payload);
  }
  if (std::isinf(value)) return static_cast<float>(value);
  const float nearest = static_cast<float>(value);
  if (std::isinf(nearest)) return std::nullopt;
  const float candidates[] = {nearest, std::nextafter(nearest, -INFINITY),
                              std::nextafter(nearest, INFINITY)};
  for (float candidate : candidates) {
    char text[32];
    const char *end = std::to_chars(text, text + sizeof text, candidate).ptr;
    double back = 0;
    std::from_chars(text, end, back);
    if (back == value) return candidate;
  }
  return nearest;
}

std::optional<uint8_t> entry_count(std::optional<uint8_t> given_count, std::size_t entries) {
  if (given_count && *given_count != entries) return std::nullopt;
  return static_cast<uint8_t>(entries);
}

}  // namespace field_rules
