// dumpten: lists a capture file as one line per type-10 packet on standard output.
#include <optional>

#include "listing/dumpten_line.h"
#include "listing/listing.h"
#include "platform/platform.h"

int main(int argc, char **argv) {
  if (argc == 2) {
    if (const std::optional<int> status = listing::answer_request("dumpten", 10, argv[1]))
      return *status;
  }
  if (argc != 2)
    return listing::report_usage(platform::ExtractFileName(argc > 0 ? argv[0] : nullptr));
  listing::DumptenLine line;
  return listing::list_capture(10, line, argv[1]);
}
