// options.h - capdump's command line: its options, and the help text that describes them.
#ifndef CAPDUMP_SRC_OPTIONS_H
#define CAPDUMP_SRC_OPTIONS_H

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture_pass/clock_sink.h"
#include "capture_pass/packet_clock.h"
#include "cli/command_line.h"
#include "cli/help_text.h"

namespace capdump {

enum class Format {
  kDefault,  // JSON Lines for the packets, a table for the stats
  kJsonl,
  kCsv,
  kRaw,  // the packets' own bytes: a capture
};

struct Options {
  std::string input;  // a file name, or "-" for standard input
  Format format = Format::kDefault;
  std::bitset<256> types = std::bitset<256>().set();  // the packet types to list
  bool errors = false;      // also list rejected packets and a packet cut off at the end
  bool recover = false;     // also list the packets found by scanning again after rejections
  bool stats = false;       // print the summary instead of the packets
  bool follow = false;      // at the end of a regular file, wait for more bytes as tail -f does
  std::string report;       // write the report page to this file instead of listing the packets
  std::string split;        // with CSV: write a file a type to this directory instead
  bool exact_only = false;  // list only packets whose payload is exactly their layout
  std::optional<capture_pass::NamedClock> clock;  // time the packets by this clock
  capture_pass::TimeRange range;  // with a clock: list only the packets in this time range
  std::optional<double> gap;      // with a clock: a longer step is a dropout
};

using ParseOutcome = cli::ParseOutcome<Options>;

// capdump's name, version, usage line and description.
extern const cli::About kAbout;

// Reads the arguments after the program name: one input operand, and options that go together.
// --help and --version win over everything after them.
ParseOutcome parse_options(const std::vector<std::string_view> &args);

// The lowest type in types, which must not be empty: with --format csv and no --split, the one
// listed.
uint8_t lowest_type(const std::bitset<256> &types);

// The text --help prints.
std::string help_text();

}  // namespace capdump

#endif  // CAPDUMP_SRC_OPTIONS_H
