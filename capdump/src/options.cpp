#include "options.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include <protolib/catalogue.hpp>

namespace capdump {

namespace {

constexpr std::string_view kHelp =
    R"(Usage: capdump [OPTION]... FILE
Lists every packet of the capture FILE (- for standard input) on standard output, one JSON
object a line in the order of the capture: {"offset": the offset of its sync pair (of its
0xA1 byte minus one), "type", "length", then its record's fields by name}; the payload as
"payload" in hexadecimal for types outside the catalogue, and also for catalogue packets
whose fields do not give it back (a length other than the layout's, a count above the
capacity). NaN and infinite values are null with their bit pattern in "<name>_bits".

Options:
  --format FORMAT   jsonl (the default) or csv: one catalogue type chosen with --type, a
                    header row of column names, then a row a packet
  --type LIST       list only the packets of these types (comma-separated, 0 to 255)
  --errors          also list each rejected packet as {"offset", "error": "checksum_a",
                    "checksum_b" or "oversize_length", "type", "length"}, and a packet cut
                    off by the end of input as {"offset", "error": "unfinished", "received"}
  --recover         after each rejected packet, scan again from the byte after its sync
                    pair, and also list the intact packets the framing skipped, marked
                    "recovered": true (in CSV, a recovered column)
  --stats           print a summary instead of the packets: bytes read and what they hold,
                    packets by type, rejected packets by reason, an unfinished packet at
                    the end; a table, or one JSON object with --format jsonl
  --help            print this help and exit
  --version         print the version and exit

Exit status: 0 done, 1 bad usage or an input that cannot be opened, 2 a read or write error
part-way (what was written before it is valid).
)";

std::string quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

std::optional<uint8_t> parse_type(std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > 255) {
    return std::nullopt;
  }
  return static_cast<uint8_t>(value);
}

std::string set_types(Options &options, std::string_view list) {
  options.types.reset();
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string_view item = list.substr(start, comma - start);
    const std::optional<uint8_t> type = parse_type(item);
    if (!type) return "invalid packet type " + quoted(item) + " (a number from 0 to 255)";
    options.types.set(*type);
    start = comma + 1;
  }
  return {};
}

std::string set_format(Options &options, std::string_view name) {
  if (name == "jsonl") {
    options.format = Format::kJsonl;
  } else if (name == "csv") {
    options.format = Format::kCsv;
  } else {
    return "unknown format " + quoted(name) + " (jsonl or csv)";
  }
  return {};
}

template <bool Options::*Flag>
std::string set_flag(Options &options, std::string_view) {
  options.*Flag = true;
  return {};
}

template <Command Chosen>
std::string set_command(Options &options, std::string_view) {
  options.command = Chosen;
  return {};
}

// An option: its name, and what it does to the options with its value (empty for a flag).
// Returns an error, or empty.
struct OptionRule {
  std::string_view name;
  bool takes_value;
  std::string (*apply)(Options &, std::string_view value);
};

constexpr OptionRule kRules[] = {
    {"--format", true, set_format},
    {"--type", true, set_types},
    {"--errors", false, set_flag<&Options::errors>},
    {"--recover", false, set_flag<&Options::recover>},
    {"--stats", false, set_flag<&Options::stats>},
    {"--help", false, set_command<Command::kHelp>},
    {"--version", false, set_command<Command::kVersion>},
};

bool one_catalogue_type(const std::bitset<256> &types) {
  return types.count() == 1 && protolib::visit_catalogue_type(lowest_type(types), [](auto) {});
}

// What is wrong with a combination of options, or empty.
std::string check_combination(const Options &options, bool types_given) {
  if (options.stats) {
    if (options.format == Format::kCsv)
      return "--stats prints a table, or JSON with --format jsonl";
    if (types_given) return "--stats counts every type; --type does not apply";
    if (options.errors) return "--stats counts the rejected packets; --errors does not apply";
  }
  if (options.format == Format::kCsv) {
    if (!one_catalogue_type(options.types))
      return "--format csv needs --type with one catalogue type";
    if (options.errors) return "--errors needs JSON Lines: CSV rows are packets of one type";
  }
  return {};
}

}  // namespace

ParseOutcome parse_options(const std::vector<std::string_view> &args) {
  ParseOutcome outcome;
  Options &options = outcome.options;
  std::vector<std::string_view> operands;
  bool types_given = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--") {
      operands.insert(operands.end(), args.begin() + static_cast<std::ptrdiff_t>(i + 1),
                      args.end());
      break;
    }
    if (arg == "-" || !arg.starts_with("-")) {
      operands.push_back(arg);
      continue;
    }
    const std::string_view name = arg.substr(0, arg.find('='));
    const auto rule = std::find_if(std::begin(kRules), std::end(kRules),
                                   [name](const OptionRule &r) { return r.name == name; });
    if (rule == std::end(kRules)) {
      outcome.error = "unknown option " + quoted(name);
      return outcome;
    }
    std::string_view value;
    const bool inline_value = name.size() < arg.size();
    if (inline_value && !rule->takes_value) {
      outcome.error = "option " + quoted(name) + " takes no value";
      return outcome;
    }
    if (inline_value) {
      value = arg.substr(name.size() + 1);
    } else if (rule->takes_value && ++i < args.size()) {
      value = args[i];
    } else if (rule->takes_value) {
      outcome.error = "option " + quoted(name) + " needs a value";
      return outcome;
    }
    types_given = types_given || name == "--type";
    outcome.error = rule->apply(options, value);
    if (!outcome.error.empty() || options.command != Command::kDump) return outcome;
  }
  if (operands.size() != 1) {
    outcome.error = operands.empty()
                        ? "missing input file (use - for standard input)"
                        : "unexpected operand " + quoted(operands[1]) + " (one input file only)";
    return outcome;
  }
  options.input = operands[0];
  outcome.error = check_combination(options, types_given);
  return outcome;
}

uint8_t lowest_type(const std::bitset<256> &types) {
  std::size_t type = 0;
  while (!types[type]) ++type;
  return static_cast<uint8_t>(type);
}

std::string_view help_text() {
  return kHelp;
}

}  // namespace capdump
