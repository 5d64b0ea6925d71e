#include "capgen/jsonl/input_excerpt.h"

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
  if (open == std::string_view::npos) return printable(what);
  // Everything after the first quote may be input: the token quoted, then perhaps the library's
  // "; expected ..." words, which are kept when the whole fits in an excerpt.
  const std::string_view rest = what.substr(open + 1);
  return printable(what.substr(0, open + 1)) + input_excerpt(rest) +
         (rest.size() > kExcerptLength ? "'" : "");
}

}  // namespace capgen
