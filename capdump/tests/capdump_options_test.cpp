// capdump's command line: what each option sets, and a message for every bad one.
#include "capdump/src/options.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using capdump::Format;
using capdump::Options;
using capdump::parse_options;
using Args = std::vector<std::string_view>;

bool holds_defaults(const Options &o) {
  return o.input == "a.cap" && o.format == Format::kDefault && o.types.all() && !o.errors &&
         !o.recover && !o.stats && !o.follow && o.report.empty() && o.split.empty();
}

// Each command line either sets what it names or names its fault.
TEST(Options, CommandLinesSetWhatTheyNameOrNameTheirFault) {
  struct Row {
    Args args;
    std::function<bool(const Options &)> holds;  // for a good command line
    std::string error;                           // for a bad one
    cli::Request request = cli::Request::kRun;
  };
  const Row rows[] = {
      {{"a.cap"}, holds_defaults, ""},
      {{"--", "-dash.cap"}, [](const Options &o) { return o.input == "-dash.cap"; }, ""},
      {{"-"}, [](const Options &o) { return o.input == "-"; }, ""},
      {{"--type", "0,10,255", "--errors", "--recover", "a"},
       [](const Options &o) {
         return o.types.count() == 3 && o.types[0] && o.types[10] && o.types[255] && o.errors &&
                o.recover;
       },
       ""},
      {{"--format=csv", "--type=22", "--recover", "a"},
       [](const Options &o) { return o.format == Format::kCsv && o.types.count() == 1; },
       ""},
      {{"--stats", "--format", "jsonl", "--recover", "a"},
       [](const Options &o) { return o.stats && o.format == Format::kJsonl; },
       ""},
      {{"--report", "out.html", "--recover", "-"},
       [](const Options &o) { return o.report == "out.html" && o.recover && o.input == "-"; },
       ""},
      {{"-f", "--format=raw", "--type=10,2", "a"},
       [](const Options &o) {
         return o.follow && o.format == Format::kRaw && o.types.count() == 2;
       },
       ""},
      {{"--follow", "--stats", "a"}, [](const Options &o) { return o.follow && o.stats; }, ""},
      {{"--help", "--bogus"}, nullptr, "", cli::Request::kHelp},
      {{"--version"}, nullptr, "", cli::Request::kVersion},
      {{}, nullptr, "missing input file (use - for standard input)"},
      {{"a", "b"}, nullptr, "unexpected operand 'b' (one input file only)"},
      {{"--bogus", "a"}, nullptr, "unknown option '--bogus'"},
      {{"-x", "a"}, nullptr, "unknown option '-x'"},
      {{"--errors=yes", "a"}, nullptr, "option '--errors' takes no value"},
      {{"a", "--type"}, nullptr, "option '--type' needs a value"},
      {{"--format", "xml", "a"}, nullptr, "unknown format 'xml' (jsonl, csv or raw)"},
      {{"--type", "10,256", "a"}, nullptr, "invalid packet type '256' (a number from 0 to 255)"},
      {{"--type", "10,", "a"}, nullptr, "invalid packet type '' (a number from 0 to 255)"},
      {{"--type=-1", "a"}, nullptr, "invalid packet type '-1' (a number from 0 to 255)"},
      {{"--format=csv", "--split", "out", "--type=10,22", "a"},
       [](const Options &o) { return o.split == "out" && o.types.count() == 2; },
       ""},
      {{"--split=out", "a"}, nullptr, "--split writes CSV files; it needs --format csv"},
      {{"--format=jsonl", "--split=out", "a"},
       nullptr,
       "--split writes CSV files; it needs --format csv"},
      {{"--format=csv", "--split=out", "--type=10,99", "a"},
       nullptr,
       "--split writes catalogue types only; --type lists one outside the catalogue"},
      {{"--format=csv", "--split=", "a"}, nullptr, "--split needs a directory name"},
      {{"--format=csv", "a"}, nullptr, "--format csv needs --type with one catalogue type"},
      {{"--format=csv", "--type=10,12", "a"},
       nullptr,
       "--format csv needs --type with one catalogue type"},
      {{"--format=csv", "--type=4", "a"},
       nullptr,
       "--format csv needs --type with one catalogue type"},
      {{"--format=csv", "--type=10", "--errors", "a"},
       nullptr,
       "--errors needs JSON Lines: CSV rows are packets of one type"},
      {{"--stats", "--format=csv", "a"},
       nullptr,
       "--stats prints a table, or JSON with --format jsonl"},
      {{"--stats", "--format=raw", "a"},
       nullptr,
       "--stats prints a table, or JSON with --format jsonl"},
      {{"--format=raw", "--errors", "a"},
       nullptr,
       "--errors needs JSON Lines: raw output holds whole packets only"},
      {{"-f=1", "a"}, nullptr, "option '-f' takes no value"},
      {{"--stats", "--type=10", "a"}, nullptr, "--stats counts every type; --type does not apply"},
      {{"--stats", "--errors", "a"},
       nullptr,
       "--stats counts the rejected packets; --errors does not apply"},
      {{"--report=", "a"}, nullptr, "--report needs a file name"},
      {{"--report=r.html", "--stats", "a"}, nullptr, "--report and --stats do not go together"},
      {{"--report=r.html", "--format=jsonl", "a"},
       nullptr,
       "--report writes HTML; --format does not apply"},
      {{"--report=r.html", "--type=1", "a"},
       nullptr,
       "--report covers every type; --type does not apply"},
      {{"--report=r.html", "--errors", "a"},
       nullptr,
       "--report counts the rejected packets; --errors does not apply"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.args.empty() ? "" : row.args[0]);
    const capdump::ParseOutcome outcome = parse_options(row.args);
    EXPECT_EQ(outcome.error, row.error);
    EXPECT_EQ(outcome.request, row.request);
    if (row.holds) {
      EXPECT_TRUE(row.holds(outcome.options));
    }
  }
}

}  // namespace
