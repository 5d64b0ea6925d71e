// Input shown in a message: short, and harmless to print on a terminal whatever it holds.
#ifndef CAPGEN_SRC_INPUT_EXCERPT_H
#define CAPGEN_SRC_INPUT_EXCERPT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace capgen {

// Bytes of input a message shows at most.
inline constexpr std::size_t kExcerptLength = 60;

// text as a message may show it: its first kExcerptLength bytes, followed by "..." when there
// were more, each byte outside printable ASCII (control characters, DEL, bytes from 0x80 up)
// written as \xNN.
std::string input_excerpt(std::string_view text);

// A message of the JSON library with its "[json.exception...] " tag removed and everything
// after its first single quote (the input it quotes, and the words after it) cut down to an
// input_excerpt, closed by a quote when cut; bytes outside printable ASCII elsewhere in it are
// written as \xNN too.
std::string json_library_message(std::string_view what);

}  // namespace capgen

#endif  // CAPGEN_SRC_INPUT_EXCERPT_H
