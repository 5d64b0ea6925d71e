// dumptwo: lists a capture file as one line per type-2 packet on standard output.
#include <string>

#include "dumptwo_line.h"
#include "listing.h"
#include "platform.h"

int main(int argc, char **argv) {
  if (argc < 2) {
    const std::string self = executable_path(argc > 0 ? argv[0] : nullptr);
    return report_usage(ExtractFileName(self.c_str()));
  }
  if (asks_version(argv[1])) return report_version("dumptwo");
  DumptwoLine line;
  return list_capture(2, line, argv[1]);
}
