// dumptwo: lists a capture file as one line per type-2 packet on standard output.
#include <cstdio>
#include <string>

#include "dumptwo_line.h"
#include "listing.h"
#include "platform.h"

int main(int argc, char **argv) {
  if (argc < 2) {
    const std::string self = executable_path(argc > 0 ? argv[0] : nullptr);
    std::fprintf(stderr, "usage: %s <in_file>\n  output goes to stdout\n",
                 ExtractFileName(self.c_str()));
    return kListingFailed;
  }
  if (!FileExists(argv[1])) {
    std::fputs("input file does not exist\n", stderr);
    return kListingFailed;
  }
  DumptwoLine line;
  return list_capture(2, line, argv[1]);
}
