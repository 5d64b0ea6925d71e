#include "cli/values.h"

#include <charconv>
#include <cmath>

namespace cli {

std::string quoted(std::string_view text) {
  // Appended piece by piece: g++ -O3 warns falsely (-Wrestrict) on the operator+ chain.
  std::string result;
  result.reserve(text.size() + 2);
  result.push_back('\'');
  result.append(escaped(text));
  result.push_back('\'');
  return result;
}

namespace {

// The length of the UTF-8 sequence that starts text when it is a whole, valid one other than a C1
// control (U+0080 to U+009F); 0 otherwise.
std::size_t printable_sequence(std::string_view text) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  const std::size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC2 || lead > 0xF4 || text.size() < size) return 0;
  for (std::size_t i = 1; i < size; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  const unsigned char second = byte(1);
  const bool valid = (lead != 0xC2 || second >= 0xA0) && (lead != 0xE0 || second >= 0xA0) &&
                     (lead != 0xED || second < 0xA0) && (lead != 0xF0 || second >= 0x90) &&
                     (lead != 0xF4 || second < 0x90);
  return valid ? size : 0;
}

}  // namespace

std::string escaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string result;
  result.reserve(text.size());
  while (!text.empty()) {
    const auto byte = static_cast<unsigned char>(text.front());
    std::size_t size = byte >= 0x20 && byte < 0x7F ? 1
                       : byte >= 0x80              ? printable_sequence(text)
                                                   : 0;
    if (size > 0) {
      result.append(text.substr(0, size));
    } else {
      result.append("\\x");
      result.push_back(kHex[byte >> 4]);
      result.push_back(kHex[byte & 15]);
      size = 1;
    }
    text.remove_prefix(size);
  }
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
