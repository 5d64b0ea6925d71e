// terminal_text.h - the test that a message is safe to print on a terminal, for the fuzz targets
// whose promises include clean messages.
#ifndef PROTOLIB_FUZZ_TERMINAL_TEXT_H
#define PROTOLIB_FUZZ_TERMINAL_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string_view>

// True when text is UTF-8 with no control character (C0, DEL, C1): what a message may hold
// once the values it quotes are escaped. Overlong forms, surrogates and code points past
// U+10FFFF are not UTF-8.
inline bool terminal_safe(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    if (lead < 0x80) {
      if (lead < 0x20 || lead == 0x7F) return false;
      ++i;
      continue;
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC2 || lead > 0xF4 || i + length > text.size()) return false;
    uint32_t code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    const uint32_t lowest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < lowest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) ||
        (code >= 0x80 && code <= 0x9F)) {
      return false;
    }
    i += length;
  }
  return true;
}

#endif  // PROTOLIB_FUZZ_TERMINAL_TEXT_H
