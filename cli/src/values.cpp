#include "cli/values.h"

#include <charconv>
#include <cmath>

namespace cli {

std::string quoted(std::string_view text) {
  // Appended piece by piece: g++ -O3 warns falsely (-Wrestrict) on the operator+ chain.
  std::string result;
  result.reserve(text.size() + 2);
  result.push_back('\'');
  result.append(text);
  result.push_back('\'');
  return result;
}

std::vector<std::string_view> split_list(std::string_view list) {
  std::vector<std::string_view> items;
  for (std::size_t comma = list.find(','); comma != std::string_view::npos;
       comma = list.find(',')) {
    items.push_back(list.substr(0, comma));
    list.remove_prefix(comma + 1);
  }
  items.push_back(list);
  return items;
}

std::optional<uint64_t> parse_decimal(std::string_view text, uint64_t max) {
  uint64_t value = 0;
  const char *end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value > max) return std::nullopt;
  return value;
}

std::optional<double> parse_number(std::string_view text) {
  double value = 0;
  const char *end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace cli
