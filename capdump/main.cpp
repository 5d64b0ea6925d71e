// capdump: lists every packet of a capture as JSON Lines or CSV, or summarises the capture.
// Data goes to standard output, diagnostics to standard error.
#include <cstdio>
#include <new>
#include <string_view>
#include <vector>

#include "command.h"
#include "options.h"

int main(int argc, char **argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const capdump::ParseOutcome parsed = capdump::parse_options(args);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "capdump: %s\nTry 'capdump --help' for more information.\n",
                 parsed.error.c_str());
    return capdump::kUnusable;
  }
  try {
    switch (parsed.options.command) {
      case capdump::Command::kHelp:
        return capdump::print_text(capdump::help_text());
      case capdump::Command::kVersion:
        return capdump::print_text("capdump " CAPDUMP_VERSION "\n");
      default:
        return capdump::run_dump(parsed.options);
    }
  } catch (const std::bad_alloc &) {
    std::fputs("capdump: out of memory\n", stderr);
    return capdump::kUnusable;
  }
}
