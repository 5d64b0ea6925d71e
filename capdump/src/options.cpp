// capdump's option table, the values each option reads, and the options that do not go together.
#include "capdump/src/options.h"

#include <protolib/catalogue.hpp>

#include "cli/values.h"

namespace capdump {

const cli::About kAbout = {
    "capdump",
    CAPDUMP_VERSION,
    "[OPTION]... FILE",
    R"(Lists every packet of the capture FILE (- for standard input) on standard output, one )"
    R"(JSON object a line in the order of the capture: {"offset": the offset of its sync pair )"
    R"((of its 0xA1 byte minus one), "type", "length", then its record's fields by name}; the )"
    R"(payload as "payload" in hexadecimal for types outside the catalogue, and also for )"
    R"(catalogue packets whose fields do not give it back (a length other than the layout's, a )"
    R"(count above the capacity). NaN and infinite values are null with their bit pattern in )"
    R"("<name>_bits". A packet whose payload is not exactly its type's layout carries "form": )"
    R"("short", "long", "over_capacity" (a count byte above the entry capacity) or "unknown" (a )"
    R"(type outside the catalogue) after "length"; exact packets have no "form". Each line goes out as soon as its packet has arrived. After a read or )"
    R"(write error part-way, what was written before it is valid. Ctrl-C, SIGTERM, SIGHUP or )"
    R"(SIGQUIT stops the reading: what was read is then listed or summed up as at the end of )"
    R"(input, and the exit status is 128 plus the signal's number (130, 143, 129, 131).)",
};

namespace {

std::string set_types(Options &options, std::string_view list) {
  options.types.reset();
  for (const std::string_view item : cli::split_list(list)) {
    const std::optional<uint64_t> type = cli::parse_decimal(item, 255);
    if (!type) return "invalid packet type " + cli::quoted(item) + " (a number from 0 to 255)";
    options.types.set(*type);
  }
  return {};
}

std::string set_format(Options &options, std::string_view name) {
  if (name == "jsonl") {
    options.format = Format::kJsonl;
  } else if (name == "csv") {
    options.format = Format::kCsv;
  } else if (name == "raw") {
    options.format = Format::kRaw;
  } else {
    return "unknown format " + cli::quoted(name) + " (jsonl, csv or raw)";
  }
  return {};
}

std::string set_report(Options &options, std::string_view path) {
  if (path.empty()) return "--report needs a file name";
  options.report = path;
  return {};
}

std::string set_split(Options &options, std::string_view dir) {
  if (dir.empty()) return "--split needs a directory name";
  options.split = dir;
  return {};
}

std::string set_clock(Options &options, std::string_view text) {
  capture_pass::ClockParse parse = capture_pass::parse_clock(text);
  if (!parse.clock) return parse.error;
  options.clock = std::move(parse.clock);
  return {};
}

template <std::optional<double> capture_pass::TimeRange::*Bound>
std::string set_bound(Options &options, std::string_view text) {
  const std::optional<double> seconds = cli::parse_number(text);
  if (!seconds) return "invalid time " + cli::quoted(text) + " (a number of seconds)";
  options.range.*Bound = seconds;
  return {};
}

std::string set_gap(Options &options, std::string_view text) {
  const std::optional<double> seconds = cli::parse_number(text);
  if (!seconds || *seconds <= 0) {
    return "invalid gap " + cli::quoted(text) + " (a positive number of seconds)";
  }
  options.gap = seconds;
  return {};
}

template <bool Options::*Flag>
std::string set_flag(Options &options, std::string_view) {
  options.*Flag = true;
  return {};
}

const cli::OptionTable<Options> &option_table() {
  static const cli::OptionTable<Options> table = {
      {"--format", "FORMAT",
       "jsonl (the default); csv: one catalogue type chosen with --type, a header row of "
       "column names, then a row a packet; raw: the packets' own bytes, a capture that the "
       "framer takes whole (split one by --type; with --recover, a damaged capture's good and "
       "recovered packets), not to a terminal",
       set_format},
      {"--split", "DIR",
       "with --format csv, write the packets of every catalogue type (with --type, of the "
       "catalogue types listed) in one pass to a file a type, DIR/type-N.csv, each the same "
       "bytes as --format csv --type N writes with the same --recover, --exact-only, --clock, "
       "--from and --to; nothing goes to standard output, and only the types with a row get a "
       "file. DIR is created if missing (its parent must exist); files of those names in it are "
       "replaced, but never the capture being read: that, and a file that cannot be created or "
       "written, is an error (status 1)",
       set_split},
      {"--type", "LIST", "list only the packets of these types (comma-separated, 0 to 255)",
       set_types},
      {"--errors", "",
       R"(also list each rejected packet as {"offset", "error": "checksum_a", "checksum_b" or )"
       R"("oversize_length", "type", "length"}, and a packet cut off by the end of input as )"
       R"({"offset", "error": "unfinished", "received"})",
       set_flag<&Options::errors>},
      {"--recover", "",
       R"(after each rejected packet, scan again from the byte after its sync pair, and also )"
       R"(list the intact packets the framing skipped, marked "recovered": true (in CSV, a )"
       R"(recovered column))",
       set_flag<&Options::recover>},
      {"--stats", "",
       "print a summary instead of the packets: bytes read and what they hold, packets by type, "
       "packets not exact by type and form, rejected packets by reason, an unfinished packet "
       "at the end; with --clock also the first and last time, the duration, each type's "
       "count and rate in Hz, the dropouts (their number, the time they cover, the ten longest "
       "with offsets) and the clock's resets; a table, or one JSON object with --format jsonl",
       set_flag<&Options::stats>},
      {"--report", "OUT",
       "write a self-contained HTML page to the file OUT instead of listing the packets: the "
       "summary of --stats with each type's rate, the rejected and recovered packets, the noise "
       "and each type's packet rate along the capture (along the recording's time with "
       "--clock, its dropouts shaded), each catalogue field's values along it (a scalar's "
       "minimum, mean and maximum, an array element's or entry's mean), and the first 100 "
       "damaged packets; charts zoom (drag) and read out (hover); the page's size does not "
       "grow with the capture's",
       set_report},
      {"--exact-only", "",
       "list only exact packets: those whose payload is exactly their type's layout (with "
       "counted entries, the header and count entries within the capacity); with --format raw "
       "and --recover, a clean capture of the exact packets",
       set_flag<&Options::exact_only>},
      {"--clock", "TYPE.FIELD[:UNIT]",
       "time the packets by a clock the stream carries: the integer field FIELD of the "
       "catalogue type TYPE counts ticks of UNIT: ns, us, ms, s (the default) or a number of "
       "seconds. A packet's time is the clock's latest value at or before it, in seconds "
       "(JSON Lines and CSV: \"time\" after \"offset\"; null, or an empty cell, before the "
       "first clock packet). Only exact clock packets move the clock; it is unwrapped by its "
       "field's width, and a step back of less than half its range is a reset: counted, and "
       "time goes on from the value before it, so time never goes back. capgen's recordings "
       "carry 10.lead:ms",
       set_clock},
      {"--from", "SECONDS",
       "with --clock, list only the packets (and errors) whose time is SECONDS or later: the "
       "clock's own seconds, as the time values show them",
       set_bound<&capture_pass::TimeRange::from>},
      {"--to", "SECONDS",
       "with --clock, list only the packets (and errors) whose time is before SECONDS",
       set_bound<&capture_pass::TimeRange::to>},
      {"--gap", "SECONDS",
       "with --clock and --stats or --report, a step of the clock longer than this is a "
       "dropout (default: five times the median step)",
       set_gap},
      {"--follow", "",
       "at the end of FILE, wait for bytes appended to it and list them as they arrive, as "
       "tail -f does, until Ctrl-C; a file that shrinks is read again from the start, one "
       "that does not exist yet is waited for",
       set_flag<&Options::follow>, "-f"},
  };
  return table;
}

bool one_catalogue_type(const std::bitset<256> &types) {
  return types.count() == 1 && protolib::in_catalogue(lowest_type(types));
}

bool only_catalogue_types(const std::bitset<256> &types) {
  for (std::size_t type = 0; type < types.size(); ++type) {
    if (types[type] && !protolib::in_catalogue(static_cast<unsigned>(type))) return false;
  }
  return true;
}

// What is wrong with the time options, or empty.
std::string check_time(const Options &options) {
  const bool summary = options.stats || !options.report.empty();
  if (!options.clock) {
    if (options.range.any()) return "--from and --to need --clock";
    if (options.gap) return "--gap needs --clock";
  }
  if (options.gap && !summary) return "--gap sets the dropouts of --stats and --report";
  if (summary && options.range.any()) {
    return "--stats and --report sum up the whole capture; --from and --to do not apply";
  }
  if (options.range.from && options.range.to && *options.range.from >= *options.range.to) {
    return "--from must come before --to";
  }
  if (summary && options.exact_only) {
    return "--stats and --report count packets of every form; --exact-only does not apply";
  }
  return {};
}

// What is wrong with a combination of options, or empty.
std::string check_combination(const Options &options, bool types_given) {
  if (std::string error = check_time(options); !error.empty()) return error;
  if (!options.report.empty()) {
    if (options.stats) return "--report and --stats do not go together";
    if (options.format != Format::kDefault) return "--report writes HTML; --format does not apply";
    if (types_given) return "--report covers every type; --type does not apply";
    if (options.errors) return "--report counts the rejected packets; --errors does not apply";
  }
  if (options.stats) {
    if (options.format == Format::kCsv || options.format == Format::kRaw)
      return "--stats prints a table, or JSON with --format jsonl";
    if (types_given) return "--stats counts every type; --type does not apply";
    if (options.errors) return "--stats counts the rejected packets; --errors does not apply";
  }
  if (!options.split.empty()) {
    if (options.format != Format::kCsv) return "--split writes CSV files; it needs --format csv";
    if (types_given && !only_catalogue_types(options.types))
      return "--split writes catalogue types only; --type lists one outside the catalogue";
  } else if (options.format == Format::kCsv && !one_catalogue_type(options.types)) {
    return "--format csv needs --type with one catalogue type";
  }
  if (options.format == Format::kCsv) {
    if (options.errors) return "--errors needs JSON Lines: CSV rows are packets of one type";
  }
  if (options.format == Format::kRaw && options.errors)
    return "--errors needs JSON Lines: raw output holds whole packets only";
  return {};
}

}  // namespace

ParseOutcome parse_options(const std::vector<std::string_view> &args) {
  ParseOutcome outcome;
  const cli::CommandLine line = cli::parse(option_table(), args, outcome);
  if (!outcome.runs()) return outcome;
  Options &options = outcome.options;
  outcome.error = line.one_file_error("input");
  if (!outcome.error.empty()) return outcome;
  options.input = line.operands[0];
  outcome.error = check_combination(options, line.has("--type"));
  return outcome;
}

uint8_t lowest_type(const std::bitset<256> &types) {
  std::size_t type = 0;
  while (!types[type]) ++type;
  return static_cast<uint8_t>(type);
}

std::string help_text() {
  return cli::help_text(kAbout, option_table());
}

}  // namespace capdump
