// dumptwo: lists a capture file as one line per type-2 packet on standard output.
#include <optional>
#include <string>

#include "cli/command_line.h"
#include "cli/console.h"
#include "io/standard_descriptors.h"
#include "listing/dumptwo_line.h"
#include "listing/listing.h"
#include "platform/platform.h"

int main(int argc, char **argv) {
  io::occupy_closed_standard_descriptors();
  if (argc < 2) {
    const std::string self = platform::executable_path(argc > 0 ? argv[0] : nullptr);
    return cli::report_usage(platform::ExtractFileName(self.c_str()), listing::kUsage);
  }
  if (const std::optional<cli::Request> request = cli::request_named(argv[1]))
    return listing::answer_request("dumptwo", 2, *request);
  listing::DumptwoLine line;
  return listing::list_capture(2, line, argv[1]);
}
