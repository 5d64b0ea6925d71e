// capgen's command line: what it asks for, and the help text that describes it.
#ifndef CAPGEN_SRC_OPTIONS_H
#define CAPGEN_SRC_OPTIONS_H

#include <string>
#include <string_view>
#include <vector>

#include "generator.h"

namespace capgen {

enum class Command {
  kGenerate,  // write a capture
  kHelp,      // print the help text
  kVersion,   // print the version
};

struct Options {
  Command command = Command::kGenerate;
  CaptureSettings capture;
  std::string output;  // a file name, or "-" for standard output
  bool verbose = false;
  // capdump's JSON Lines to turn back into a capture (a file name, or "-" for standard input);
  // empty for a synthetic capture.
  std::string from_jsonl;
};

// Options, or a one-line description of what is wrong with the command line.
struct ParseOutcome {
  Options options;
  std::string error;  // empty when the command line is good
};

// Reads the arguments after the program name. --help and --version win over everything after
// them; otherwise exactly one output operand is required. --from-jsonl takes no generation
// option.
ParseOutcome parse_options(const std::vector<std::string_view> &args);

// The text --help prints.
std::string_view help_text();

}  // namespace capgen

#endif  // CAPGEN_SRC_OPTIONS_H
