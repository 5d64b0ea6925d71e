// fuzz_arguments.h - what the option-parsing fuzz targets share: an input split into an argument
// vector, and the promises every program's parse_options keeps.
#ifndef PROTOLIB_FUZZ_FUZZ_ARGUMENTS_H
#define PROTOLIB_FUZZ_FUZZ_ARGUMENTS_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/terminal_text.h"

// The words of data separated by NUL bytes, as a program's arguments after its name: empty
// input is no argument, and a NUL at the end ends the last word without starting another.
inline std::vector<std::string_view> fuzz_arguments(const uint8_t *data, std::size_t size) {
  std::vector<std::string_view> args;
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\0', start), text.size());
    args.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return args;
}

// True when args holds word.
inline bool has_argument(const std::vector<std::string_view> &args, std::string_view word) {
  return std::find(args.begin(), args.end(), word) != args.end();
}

// The promises every program's parse_options keeps for args (see fuzz_arguments): it returns
// (an exception would end the run); an error is a terminal-safe message, never with --help or
// --version; a command line that runs gives options of which holds(options) is true; the same
// words in other memory give the same request and error; and --help before them all asks for
// the help with no error.
template <typename Parse, typename Holds>
void check_parse(Parse parse, const std::vector<std::string_view> &args, Holds holds) {
  const auto outcome = parse(args);
  if (!outcome.error.empty()) {
    FUZZ_REQUIRE(outcome.request == cli::Request::kRun && terminal_safe(outcome.error));
  } else if (outcome.request == cli::Request::kRun) {
    FUZZ_REQUIRE(holds(outcome.options));
  }
  const std::vector<std::string> copies(args.begin(), args.end());
  std::vector<std::string_view> again(copies.begin(), copies.end());
  const auto second = parse(again);
  FUZZ_REQUIRE(second.request == outcome.request && second.error == outcome.error);
  again.insert(again.begin(), "--help");
  const auto help = parse(again);
  FUZZ_REQUIRE(help.request == cli::Request::kHelp && help.error.empty());
}

#endif  // PROTOLIB_FUZZ_FUZZ_ARGUMENTS_H
