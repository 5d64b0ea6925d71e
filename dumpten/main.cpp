// dumpten: lists a capture file as one line per type-10 packet on standard output.
#include "dumpten_line.h"
#include "listing.h"
#include "platform.h"

int main(int argc, char **argv) {
  if (argc == 2 && asks_version(argv[1])) return report_version("dumpten");
  if (argc != 2) return report_usage(ExtractFileName(argc > 0 ? argv[0] : nullptr));
  DumptenLine line;
  return list_capture(10, line, argv[1]);
}
