// capdump: lists every packet of a capture as JSON Lines or CSV, or summarises the capture.
// Data goes to standard output, diagnostics to standard error.
#include <optional>
#include <string_view>
#include <vector>

#include "capdump/src/command.h"
#include "capdump/src/options.h"
#include "cli/console.h"
#include "io/standard_descriptors.h"

int main(int argc, char **argv) {
  io::occupy_closed_standard_descriptors();
  return cli::run_reporting_out_of_memory(capdump::kAbout.name, [argc, argv] {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const capdump::ParseOutcome parsed = capdump::parse_options(args);
    if (const std::optional<int> status = cli::answer_without_work(
            capdump::kAbout, parsed.error, parsed.request, capdump::help_text)) {
      return *status;
    }
    return capdump::run_dump(parsed.options);
  });
}
