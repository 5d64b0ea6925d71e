// capdump: lists every packet of a capture as JSON Lines or CSV, or summarises the capture.
// Data goes to standard output, diagnostics to standard error.
#include <cstdio>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/console.h"
#include "cli/exit_status.h"
#include "command.h"
#include "options.h"

int main(int argc, char **argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const capdump::ParseOutcome parsed = capdump::parse_options(args);
  try {
    if (const std::optional<int> status = cli::answer_without_work(
            capdump::kAbout, parsed.error, parsed.request, capdump::help_text)) {
      return *status;
    }
    return capdump::run_dump(parsed.options);
  } catch (const std::bad_alloc &) {
    std::fputs("capdump: out of memory\n", stderr);
    return cli::kFailed;
  }
}
