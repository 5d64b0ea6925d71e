// options.h - capdump's command line: what it asks for, and the help text that describes it.
#ifndef CAPDUMP_SRC_OPTIONS_H
#define CAPDUMP_SRC_OPTIONS_H

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace capdump {

enum class Command {
  kDump,     // list the capture, or with stats summarise it
  kHelp,     // print the help text
  kVersion,  // print the version
};

enum class Format {
  kDefault,  // JSON Lines for the packets, a table for the stats
  kJsonl,
  kCsv,
};

struct Options {
  Command command = Command::kDump;
  std::string input;  // a file name, or "-" for standard input
  Format format = Format::kDefault;
  std::bitset<256> types = std::bitset<256>().set();  // the packet types to list
  bool errors = false;   // also list rejected packets and a packet cut off at the end
  bool recover = false;  // also list the packets found by scanning again after rejections
  bool stats = false;    // print the summary instead of the packets
};

// Options, or a one-line description of what is wrong with the command line.
struct ParseOutcome {
  Options options;
  std::string error;  // empty when the command line is good
};

// Reads the arguments after the program name: --name VALUE or --name=VALUE, one input operand,
// "--" ends the options. --help and --version win over everything after them.
ParseOutcome parse_options(const std::vector<std::string_view> &args);

// The lowest type in types, which must not be empty: with --format csv, the one listed.
uint8_t lowest_type(const std::bitset<256> &types);

// The text --help prints.
std::string_view help_text();

}  // namespace capdump

#endif  // CAPDUMP_SRC_OPTIONS_H
