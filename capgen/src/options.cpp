// Command-line reading: --name VALUE or --name=VALUE, one output operand, "--" ends options.
#include "options.h"

#include <charconv>
#include <optional>
#include <string>

#include "type_list.h"

namespace capgen {

namespace {

constexpr std::string_view kHelp =
    R"(Usage: capgen [OPTION]... OUT
Writes a deterministic synthetic capture to the file OUT (- for standard output): a
recording with a type-10 packet every 10 ms, types 12, 1, 20, 15 and 2 at lower rates and
the other catalogue types now and then, optionally damaged. The same options always give
the same bytes.

Options:
  --size BYTES       stop once the capture holds at least BYTES bytes; the suffixes k, M
                     and G multiply by 1024, 1024^2 and 1024^3 (default 1M, none when
                     --packets is given alone)
  --packets N        stop after N whole packets (with --size: whichever comes first)
  --seed N           seed of the values, the timetable and the damage (default 1)
  --types LIST       comma-separated catalogue types to include (default all: {types})
  --damage LIST      comma-separated damage kinds, or all:
                       noise         a noise run before the packet (never 0x81 or 0xA1)
                       stray-sync    a stray 0x81, or 0x81 0xA1, before the packet
                       bad-a         checksum A wrong
                       bad-b         checksum B wrong
                       short         payload shorter than its layout
                       long          payload longer than its layout
                       over-count    a type-21 or 22 packet whose count exceeds capacity
                       unknown-type  a type byte outside the catalogue
                       type0         type byte 0
                       truncate      the capture ends with a packet cut off
  --damage-rate F    share of packets, 0 to 1, that get one of the kinds, drawn evenly
                     (default 0.01); truncate applies once, at the end
  --random-bytes     write --size bytes of uniform random noise, sync bytes included,
                     instead of a recording
  --verbose          report on standard error: packets per type, damaged packets per
                     kind, bytes in total
  --help             print this help and exit
  --version          print the version and exit
  --from-jsonl FILE  instead of a recording, write the packets of capdump's JSON Lines in
                     FILE (- for standard input), one object a line: a catalogue record's
                     fields by name, or "payload" in hexadecimal; objects with "error"
                     are skipped; no other option applies

Exit status: 0 written, 1 the output could not be opened or written, or the --from-jsonl
input could not be read or holds a line that is no packet, 2 bad usage.
)";

constexpr std::string_view kSizeHint = " (a number of bytes, optionally followed by k, M or G)";

std::string quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

// Decimal digits only, the whole text, within 64 bits.
std::optional<uint64_t> parse_count(std::string_view text) {
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  return value;
}

std::optional<uint64_t> parse_size(std::string_view text) {
  unsigned shift = 0;
  if (!text.empty()) {
    switch (text.back()) {
      case 'k':
      case 'K':
        shift = 10;
        break;
      case 'M':
        shift = 20;
        break;
      case 'G':
        shift = 30;
        break;
      default:
        break;
    }
  }
  if (shift > 0) text.remove_suffix(1);
  const std::optional<uint64_t> count = parse_count(text);
  if (!count || *count > (kNoLimit >> shift)) return {};
  return *count << shift;
}

std::optional<double> parse_fraction(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  if (!(value >= 0.0 && value <= 1.0)) return {};
  return value;
}

// Calls take(item) for each comma-separated item of list, empty ones included, and stops at
// the first error it returns.
template <typename Take>
std::string for_each_item(std::string_view list, Take take) {
  while (true) {
    const std::size_t comma = list.find(',');
    std::string error = take(list.substr(0, comma));
    if (!error.empty() || comma == std::string_view::npos) return error;
    list.remove_prefix(comma + 1);
  }
}

std::string parse_types(std::string_view list, TypeSet &types) {
  types.reset();
  return for_each_item(list, [&types](std::string_view item) -> std::string {
    const std::optional<uint64_t> type = parse_count(item);
    if (!type || *type > 255 || !protolib::in_catalogue(static_cast<unsigned>(*type))) {
      return "type " + quoted(item) + " is not in the catalogue (" + catalogue_type_list() + ")";
    }
    types.set(*type);
    return {};
  });
}

std::string parse_damage(std::string_view list, DamageSet &damage) {
  damage.reset();
  if (list == "all") {
    damage.set();
    return {};
  }
  return for_each_item(list, [&damage](std::string_view item) -> std::string {
    const std::optional<Damage> kind = damage_from_name(item);
    if (!kind) {
      std::string names;
      for (std::string_view name : kDamageNames)
        names += (names.empty() ? "" : ", ") + std::string(name);
      return "unknown damage kind " + quoted(item) + " (" + names + ", or all)";
    }
    damage.set(static_cast<std::size_t>(*kind));
    return {};
  });
}

// Applies option name with value; returns an error, or empty.
std::string apply_value(std::string_view name, std::string_view value, Options &options,
                        bool &size_given) {
  CaptureSettings &capture = options.capture;
  if (name == "--size") {
    const std::optional<uint64_t> size = parse_size(value);
    if (!size) return "invalid size " + quoted(value) + std::string(kSizeHint);
    capture.max_bytes = *size;
    size_given = true;
    return {};
  }
  if (name == "--packets") {
    const std::optional<uint64_t> packets = parse_count(value);
    if (!packets) return "invalid packet count " + quoted(value);
    capture.max_packets = *packets;
    return {};
  }
  if (name == "--seed") {
    const std::optional<uint64_t> seed = parse_count(value);
    if (!seed) return "invalid seed " + quoted(value);
    capture.seed = *seed;
    return {};
  }
  if (name == "--damage-rate") {
    const std::optional<double> rate = parse_fraction(value);
    if (!rate) return "invalid damage rate " + quoted(value) + " (a fraction from 0 to 1)";
    capture.damage_rate = *rate;
    return {};
  }
  if (name == "--types") return parse_types(value, capture.types);
  if (name == "--from-jsonl") {
    if (value.empty()) return "option '--from-jsonl' needs a file name";
    options.from_jsonl = value;
    return {};
  }
  return parse_damage(value, capture.damage);
}

bool takes_value(std::string_view name) {
  return name == "--size" || name == "--packets" || name == "--seed" || name == "--types" ||
         name == "--damage" || name == "--damage-rate" || name == "--from-jsonl";
}

// Applies a flag; returns false for a name that is no flag.
bool apply_flag(std::string_view name, Options &options) {
  if (name == "--verbose") {
    options.verbose = true;
  } else if (name == "--random-bytes") {
    options.capture.random_bytes = true;
  } else if (name == "--help") {
    options.command = Command::kHelp;
  } else if (name == "--version") {
    options.command = Command::kVersion;
  } else {
    return false;
  }
  return true;
}

}  // namespace

ParseOutcome parse_options(const std::vector<std::string_view> &args) {
  ParseOutcome outcome;
  Options &options = outcome.options;
  bool size_given = false;
  bool generation_option_given = false;
  bool options_ended = false;
  std::vector<std::string_view> operands;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (options_ended || arg == "-" || !arg.starts_with("-")) {
      operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    generation_option_given = generation_option_given || name != "--from-jsonl";
    if (takes_value(name)) {
      std::string_view value;
      if (equals != std::string_view::npos) {
        value = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        outcome.error = "option " + quoted(name) + " needs a value";
        return outcome;
      }
      outcome.error = apply_value(name, value, options, size_given);
      if (!outcome.error.empty()) return outcome;
    } else if (equals != std::string_view::npos && apply_flag(name, options)) {
      outcome.error = "option " + quoted(name) + " takes no value";
      return outcome;
    } else if (!apply_flag(name, options)) {
      outcome.error = "unknown option " + quoted(name);
      return outcome;
    }
    if (options.command != Command::kGenerate) return outcome;
  }
  if (!options.from_jsonl.empty() && generation_option_given) {
    outcome.error = "option '--from-jsonl' takes no generation option";
    return outcome;
  }
  if (options.capture.max_packets != kNoLimit && !size_given) options.capture.max_bytes = kNoLimit;
  if (operands.empty()) {
    outcome.error = "missing output file (use - for standard output)";
  } else if (operands.size() > 1) {
    outcome.error = "unexpected operand " + quoted(operands[1]) + " (one output file only)";
  } else {
    options.output = operands[0];
  }
  return outcome;
}

std::string_view help_text() {
  static const std::string help = with_type_list(kHelp);
  return help;
}

}  // namespace capgen
