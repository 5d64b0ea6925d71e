// capgen's command line: its options, and the help text that describes them.
#ifndef CAPGEN_SRC_OPTIONS_H
#define CAPGEN_SRC_OPTIONS_H

#include <string>
#include <string_view>
#include <vector>

#include "capgen/recording/generator.h"
#include "cli/command_line.h"
#include "cli/help_text.h"

namespace capgen {

struct Options {
  CaptureSettings capture;
  std::string output;  // a file name, or "-" for standard output
  bool verbose = false;
  // capdump's JSON Lines to turn back into a capture (a file name, or "-" for standard input);
  // empty for a synthetic capture.
  std::string from_jsonl;
};

using ParseOutcome = cli::ParseOutcome<Options>;

// capgen's name, version, usage line and description.
extern const cli::About kAbout;

// Reads the arguments after the program name. --help and --version win over everything after
// them; otherwise exactly one output operand is required. --from-jsonl takes no other option,
// --random-bytes (which counts bytes) no --packets, and --packets without --size lifts the
// default size limit.
ParseOutcome parse_options(const std::vector<std::string_view> &args);

// The text --help prints.
std::string help_text();

}  // namespace capgen

#endif  // CAPGEN_SRC_OPTIONS_H
