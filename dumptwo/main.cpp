// dumptwo: lists a capture file as one line per type-2 packet on standard output.
#include <optional>
#include <string>

#include "listing/dumptwo_line.h"
#include "listing/listing.h"
#include "platform/platform.h"

int main(int argc, char **argv) {
  if (argc < 2) {
    const std::string self = platform::executable_path(argc > 0 ? argv[0] : nullptr);
    return listing::report_usage(platform::ExtractFileName(self.c_str()));
  }
  if (const std::optional<int> status = listing::answer_request("dumptwo", 2, argv[1]))
    return *status;
  listing::DumptwoLine line;
  return listing::list_capture(2, line, argv[1]);
}
