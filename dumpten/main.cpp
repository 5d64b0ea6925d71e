// dumpten: lists a capture file as one line per type-10 packet on standard output.
#include <optional>

#include "cli/command_line.h"
#include "cli/console.h"
#include "io/standard_descriptors.h"
#include "listing/dumpten_line.h"
#include "listing/listing.h"
#include "platform/platform.h"

int main(int argc, char **argv) {
  io::occupy_closed_standard_descriptors();
  if (argc != 2) {
    return cli::report_usage(platform::ExtractFileName(argc > 0 ? argv[0] : nullptr),
                             listing::kUsage);
  }
  if (const std::optional<cli::Request> request = cli::request_named(argv[1]))
    return listing::answer_request("dumpten", 10, *request);
  listing::DumptenLine line;
  return listing::list_capture(10, line, argv[1]);
}
