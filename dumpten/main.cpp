// dumpten: lists a capture file as one line per type-10 packet on standard output.
#include <cstdio>

#include "dumpten_line.h"
#include "listing.h"
#include "platform.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    const char *name = argc > 0 ? argv[0] : nullptr;
    std::fprintf(stderr, "usage: %s <in_file>\n  output goes to stdout\n", ExtractFileName(name));
    return kListingFailed;
  }
  if (!FileExists(argv[1])) {
    std::fputs("input file does not exist\n", stderr);
    return kListingFailed;
  }
  DumptenLine line;
  return list_capture(10, line, argv[1]);
}
