// capgen's option table, the values each option reads, and the rules between options.
#include "capgen/options.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

#include <protolib/catalogue.hpp>

#include "cli/values.h"

namespace capgen {

const cli::About kAbout = {
    "capgen",
    CAPGEN_VERSION,
    "[OPTION]... OUT",
    "Writes a deterministic synthetic capture to the file OUT (- for standard output): a "
    "recording with a type-10 packet every 10 ms, types 12, 1, 20, 15 and 2 at lower rates and "
    "the other catalogue types now and then, optionally damaged. The same options always give "
    "the same bytes. The instrument's clock counts milliseconds from the start of the "
    "recording in the lead field of every type that has one (a u32, so it would wrap after "
    "49.7 days): time a recording with capdump --clock 10.lead:ms.",
};

namespace {

constexpr std::string_view kSizeHint = " (a number of bytes, optionally followed by k, M or G)";

// The catalogue types as a list: "1, 2, 3".
std::string catalogue_list() {
  std::string list;
  for (const uint8_t type : protolib::kCatalogueTypes) {
    list.append(list.empty() ? "" : ", ").append(std::to_string(type));
  }
  return list;
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
  const std::optional<uint64_t> count = cli::parse_decimal(text, kNoLimit >> shift);
  if (!count) return std::nullopt;
  return *count << shift;
}

std::optional<double> parse_fraction(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  if (!(value >= 0.0 && value <= 1.0)) return {};
  return value;
}

// Sets count to value read as a decimal number; the error calls the value what.
std::string set_count(uint64_t &count, std::string_view value, std::string_view what) {
  const std::optional<uint64_t> number = cli::parse_decimal(value);
  if (!number) return "invalid " + std::string(what) + " " + cli::quoted(value);
  count = *number;
  return {};
}

std::string set_size(Options &options, std::string_view value) {
  const std::optional<uint64_t> size = parse_size(value);
  if (!size) return "invalid size " + cli::quoted(value) + std::string(kSizeHint);
  options.capture.max_bytes = *size;
  return {};
}

std::string set_types(Options &options, std::string_view list) {
  TypeSet &types = options.capture.types;
  types.reset();
  for (const std::string_view item : cli::split_list(list)) {
    const std::optional<uint64_t> type = cli::parse_decimal(item, 255);
    if (!type || !protolib::in_catalogue(static_cast<unsigned>(*type))) {
      return "type " + cli::quoted(item) + " is not in the catalogue (" + catalogue_list() + ")";
    }
    types.set(*type);
  }
  return {};
}

std::string set_damage(Options &options, std::string_view list) {
  DamageSet &damage = options.capture.damage;
  damage.reset();
  if (list == "all") {
    damage.set();
    return {};
  }
  for (const std::string_view item : cli::split_list(list)) {
    const std::optional<Damage> kind = damage_from_name(item);
    if (!kind) {
      std::string names;
      for (const std::string_view name : kDamageNames) {
        names.append(names.empty() ? "" : ", ").append(name);
      }
      return "unknown damage kind " + cli::quoted(item) + " (" + names + ", or all)";
    }
    damage.set(static_cast<std::size_t>(*kind));
  }
  return {};
}

std::string set_damage_rate(Options &options, std::string_view value) {
  const std::optional<double> rate = parse_fraction(value);
  if (!rate) return "invalid damage rate " + cli::quoted(value) + " (a fraction from 0 to 1)";
  options.capture.damage_rate = *rate;
  return {};
}

std::string set_from_jsonl(Options &options, std::string_view value) {
  if (value.empty()) return "option '--from-jsonl' needs a file name";
  options.from_jsonl = value;
  return {};
}

const cli::OptionTable<Options> &option_table() {
  static const cli::OptionTable<Options> table = {
      {"--size", "BYTES",
       "stop once the capture holds at least BYTES bytes; the suffixes k, M and G multiply by "
       "1024, 1024^2 and 1024^3 (default 1M, none when --packets is given alone)",
       set_size},
      {"--packets", "N", "stop after N whole packets (with --size: whichever comes first)",
       [](Options &options, std::string_view value) {
         return set_count(options.capture.max_packets, value, "packet count");
       }},
      {"--seed", "N", "seed of the values, the timetable and the damage (default 1)",
       [](Options &options, std::string_view value) {
         return set_count(options.capture.seed, value, "seed");
       }},
      {"--types", "LIST",
       "comma-separated catalogue types to include (default all: " + catalogue_list() + ")",
       set_types},
      {"--damage", "LIST",
       "comma-separated damage kinds, or all:\n"
       "  noise         a noise run before the packet (never 0x81 or 0xA1)\n"
       "  stray-sync    a stray 0x81, or 0x81 0xA1, before the packet\n"
       "  bad-a         checksum A wrong\n"
       "  bad-b         checksum B wrong\n"
       "  short         payload shorter than its layout\n"
       "  long          payload longer than its layout\n"
       "  over-count    a type-21 or 22 packet whose count exceeds capacity\n"
       "  unknown-type  a type byte outside the catalogue\n"
       "  type0         type byte 0\n"
       "  truncate      the capture ends with a packet cut off",
       set_damage},
      {"--damage-rate", "F",
       "share of packets, 0 to 1, that get one of the kinds, drawn evenly (default 0.01); "
       "truncate applies once, at the end",
       set_damage_rate},
      {"--random-bytes", "",
       "write --size bytes of uniform random noise, sync bytes included, instead of a recording",
       [](Options &options, std::string_view) {
         options.capture.random_bytes = true;
         return std::string();
       }},
      {"--verbose", "",
       "report on standard error: packets per type, damaged packets per kind, bytes in total",
       [](Options &options, std::string_view) {
         options.verbose = true;
         return std::string();
       }},
      {"--from-jsonl", "FILE",
       R"(instead of a recording, write the packets of capdump's JSON Lines in FILE (- for )"
       R"(standard input), one object a line: a catalogue record's fields by name, or "payload" )"
       R"(in hexadecimal; objects with "error" are skipped; a line that is no packet is a read )"
       R"(error, as is a line longer than 1 MiB (1048576 bytes); no other option applies)",
       set_from_jsonl},
  };
  return table;
}

}  // namespace

ParseOutcome parse_options(const std::vector<std::string_view> &args) {
  ParseOutcome outcome;
  const cli::CommandLine line = cli::parse(option_table(), args, outcome);
  if (!outcome.runs()) return outcome;
  Options &options = outcome.options;
  const auto generation_option = [](std::string_view name) { return name != "--from-jsonl"; };
  if (!options.from_jsonl.empty() &&
      std::any_of(line.given.begin(), line.given.end(), generation_option)) {
    outcome.error = "option '--from-jsonl' takes no generation option";
    return outcome;
  }
  if (options.capture.random_bytes && line.has("--packets")) {
    outcome.error = "option '--random-bytes' takes no '--packets' (it writes --size bytes)";
    return outcome;
  }
  if (options.capture.max_packets != kNoLimit && !line.has("--size")) {
    options.capture.max_bytes = kNoLimit;
  }
  outcome.error = line.one_file_error("output");
  if (outcome.error.empty()) options.output = line.operands[0];
  return outcome;
}

std::string help_text() {
  return cli::help_text(kAbout, option_table());
}

}  // namespace capgen
