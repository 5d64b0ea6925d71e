#include "input_excerpt.h"

namespace capgen {

namespace {

// text with each byte outside printable ASCII written as \xNN.
std::string printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      shown += c;
    } else {
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    }
  }
  return shown;
}

}  // namespace

std::string input_excerpt(std::string_view text) {
  return printable(text.substr(0, kExcerptLength)) + (text.size() > kExcerptLength ? "..." : "");
}

std::string json_library_message(std::string_view what) {
  const std::size_t tag_end = what.find("] ");
  if (what.starts_with("[json.exception") && tag_end != std::string_view::npos) {
    what.remove_prefix(tag_end + 2);
  }
  const std::size_t open = what.find('\'');
  // The library follows a quoted token with "; expected ..." that may quote its own words.
  const std::size_t expected = what.find("'; expected", open);
  const std::size_t close = expected != std::string_view::npos ? expected : what.rfind('\'');
  if (open == std::string_view::npos || close == open) return printable(what);
  return printable(what.substr(0, open + 1)) +
         input_excerpt(what.substr(open + 1, close - open - 1)) + printable(what.substr(close));
}

}  // namespace capgen
