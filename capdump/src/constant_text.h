// constant_text.h - text known at compile time, written with fixed-length copies that the
// compiler turns into a few moves: string literals, and texts joined around a catalogue field's
// name once, at compile time.
#ifndef CAPDUMP_SRC_CONSTANT_TEXT_H
#define CAPDUMP_SRC_CONSTANT_TEXT_H

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace capdump {

// Writes the string literal text without its terminating null; returns the position after it.
template <std::size_t N>
inline char *put_literal(char *out, const char (&text)[N]) {
  std::memcpy(out, text, N - 1);
  return out + N - 1;
}

// Writes text; returns the position after it.
template <std::size_t N>
inline char *put_literal(char *out, const std::array<char, N> &text) {
  std::memcpy(out, text.data(), N);
  return out + N;
}

// The string literals before and after around name, joined; NameSize must be name.size().
template <std::size_t NameSize, std::size_t Before, std::size_t After>
consteval std::array<char, Before - 1 + NameSize + After - 1> joined(const char (&before)[Before],
                                                                     std::string_view name,
                                                                     const char (&after)[After]) {
  std::array<char, Before - 1 + NameSize + After - 1> text{};
  std::size_t i = 0;
  for (const std::string_view piece :
       {std::string_view(before, Before - 1), name, std::string_view(after, After - 1)}) {
    for (const char c : piece) text.at(i++) = c;
  }
  return text;
}

}  // namespace capdump

#endif  // CAPDUMP_SRC_CONSTANT_TEXT_H
