// capgen's command line: what each option sets, and a message for every bad one.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <protolib/catalogue.hpp>

#include "capgen/options.h"

namespace {

using capgen::Damage;
using capgen::kNoLimit;
using capgen::Options;
using capgen::parse_options;

using Args = std::vector<std::string_view>;

const std::string kSizeHint = "' (a number of bytes, optionally followed by k, M or G)";
// The catalogue's types as the messages list them: "1, 2, 3, ...".
std::string catalogue_types() {
  std::string list;
  for (const uint8_t type : protolib::kCatalogueTypes) {
    list += (list.empty() ? "" : ", ") + std::to_string(type);
  }
  return list;
}

const std::string kCatalogue = "' is not in the catalogue (" + catalogue_types() + ")";

TEST(Options, BadCommandLinesNameTheirFault) {
  struct Row {
    Args args;
    std::string error;
  };
  const Row rows[] = {
      {{}, "missing output file (use - for standard output)"},
      {{"--verbose"}, "missing output file (use - for standard output)"},
      {{"a", "b"}, "unexpected operand 'b' (one output file only)"},
      {{"--bogus", "out"}, "unknown option '--bogus'"},
      {{"--verbose=yes", "out"}, "option '--verbose' takes no value"},
      {{"out", "--size"}, "option '--size' needs a value"},
      {{"--size", "12x", "out"}, "invalid size '12x" + kSizeHint},
      {{"--size", "-1", "out"}, "invalid size '-1" + kSizeHint},
      {{"--size=17179869184G", "out"}, "invalid size '17179869184G" + kSizeHint},
      {{"--packets", "1.5", "out"}, "invalid packet count '1.5'"},
      {{"--seed", "", "out"}, "invalid seed ''"},
      {{"--seed", "18446744073709551616", "out"}, "invalid seed '18446744073709551616'"},
      {{"--damage-rate", "1.5", "out"}, "invalid damage rate '1.5' (a fraction from 0 to 1)"},
      {{"--damage-rate", "nan", "out"}, "invalid damage rate 'nan' (a fraction from 0 to 1)"},
      {{"--types", "10,4", "out"}, "type '4" + kCatalogue},
      {{"--types", "10,", "out"}, "type '" + kCatalogue},
      {{"--types", "266", "out"}, "type '266" + kCatalogue},
      {{"--damage", "noise,bad-c", "out"},
       "unknown damage kind 'bad-c' (noise, stray-sync, bad-a, bad-b, short, long, over-count, "
       "unknown-type, type0, truncate, or all)"},
      {{"--from-jsonl=", "out"}, "option '--from-jsonl' needs a file name"},
      {{"--from-jsonl", "in", "--seed", "1", "out"},
       "option '--from-jsonl' takes no generation option"},
      {{"--verbose", "--from-jsonl", "in", "out"},
       "option '--from-jsonl' takes no generation option"},
      {{"--random-bytes", "--packets", "5", "out"},
       "option '--random-bytes' takes no '--packets' (it writes --size bytes)"},
      {{"--random-bytes", "--size", "1k", "--packets", "5", "out"},
       "option '--random-bytes' takes no '--packets' (it writes --size bytes)"},
  };
  for (const Row &row : rows) {
    EXPECT_EQ(parse_options(row.args).error, row.error);
  }
}

TEST(Options, GoodCommandLinesSetWhatTheyName) {
  struct Row {
    Args args;
    std::function<bool(const Options &)> holds;  // none for --help and --version
    cli::Request request = cli::Request::kRun;
  };
  const Row rows[] = {
      {{"out.cap"},
       [](const Options &o) {
         const capgen::CaptureSettings &c = o.capture;
         return o.output == "out.cap" && !o.verbose && c.max_bytes == 1 << 20 &&
                c.max_packets == kNoLimit && c.seed == 1 && c.types == capgen::whole_catalogue() &&
                c.damage.none() && c.damage_rate == 0.01;
       }},
      {{"--size", "3k", "-"},
       [](const Options &o) { return o.capture.max_bytes == 3072 && o.output == "-"; }},
      {{"--size=2M", "x"}, [](const Options &o) { return o.capture.max_bytes == 2 << 20; }},
      {{"--packets", "5", "x"},
       [](const Options &o) {
         return o.capture.max_packets == 5 && o.capture.max_bytes == kNoLimit;
       }},
      {{"--size", "4k", "--packets", "5", "x"},
       [](const Options &o) { return o.capture.max_packets == 5 && o.capture.max_bytes == 4096; }},
      {{"--seed", "18446744073709551615", "x"},
       [](const Options &o) { return o.capture.seed == 18446744073709551615u; }},
      {{"--types", "20,10,20", "x"},
       [](const Options &o) { return o.capture.types == capgen::TypeSet().set(10).set(20); }},
      {{"--damage", "bad-a,noise", "x"},
       [](const Options &o) {
         return o.capture.damage == capgen::DamageSet()
                                        .set(static_cast<size_t>(Damage::kBadA))
                                        .set(static_cast<size_t>(Damage::kNoise));
       }},
      {{"--damage", "all", "x"}, [](const Options &o) { return o.capture.damage.all(); }},
      {{"--damage-rate", "0.25", "x"},
       [](const Options &o) { return o.capture.damage_rate == 0.25; }},
      {{"x", "--verbose"}, [](const Options &o) { return o.verbose && o.output == "x"; }},
      {{"--", "--odd-name"}, [](const Options &o) { return o.output == "--odd-name"; }},
      {{"--from-jsonl", "in.jsonl", "out"},
       [](const Options &o) { return o.from_jsonl == "in.jsonl" && o.output == "out"; }},
      {{"--help", "--bogus"}, nullptr, cli::Request::kHelp},
      {{"--version"}, nullptr, cli::Request::kVersion},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.args[0]);
    const capgen::ParseOutcome outcome = parse_options(row.args);
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(outcome.request, row.request);
    if (row.holds) {
      EXPECT_TRUE(row.holds(outcome.options));
    }
  }
}

TEST(Options, HelpNamesEveryOptionAndDamageKind) {
  const std::string help = capgen::help_text();
  for (std::string_view option :
       {"--size", "--packets", "--seed", "--types", "--damage ", "--damage-rate", "--verbose",
        "--help", "--version", "--from-jsonl"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
  for (std::string_view kind : capgen::kDamageNames) {
    EXPECT_NE(help.find("  " + std::string(kind) + " "), std::string::npos) << kind;
  }
}

TEST(Options, HelpListsTheCatalogueTypesWrappedAtTheDescriptionColumn) {
  const std::string help = capgen::help_text();
  const std::string opening = "types to include (default all: ";
  const std::size_t from = help.find(opening);
  ASSERT_NE(from, std::string::npos);
  const std::size_t to = help.find(")\n  --damage LIST", from);
  ASSERT_NE(to, std::string::npos);
  std::string listed = help.substr(from + opening.size(), to - from - opening.size());
  const std::string wrap = "\n" + std::string(21, ' ');  // a line break at the description column
  EXPECT_NE(listed.find(wrap), std::string::npos) << "the list is long enough to wrap";
  for (std::size_t at; (at = listed.find(wrap)) != std::string::npos;) {
    listed.replace(at, wrap.size(), " ");
  }
  EXPECT_EQ(listed, catalogue_types());
}

}  // namespace
