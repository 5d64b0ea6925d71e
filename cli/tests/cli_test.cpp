// The command-line kit on a small table of its own: the forms a command line may take, its
// faults, the help made from the table, and the value helpers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/help_text.h"
#include "cli/values.h"

namespace {

using Args = std::vector<std::string_view>;

struct Settings {
  std::string name;
  bool loud = false;
  uint64_t count = 0;
};

const std::string kLongHelp =
    "a help line long enough to wrap, with a word longer than a line: " + std::string(100, 'x') +
    " and then more words to fill the next line up to the width, and beyond it once more";

const cli::OptionTable<Settings> kTable = {
    {"--name", "TEXT", "the name",
     [](Settings &settings, std::string_view value) {
       settings.name = value;
       return std::string();
     }},
    {"--loud", "", "first line\n  second line, indented",
     [](Settings &settings, std::string_view) {
       settings.loud = true;
       return std::string();
     }},
    {"--count", "N", kLongHelp,
     [](Settings &settings, std::string_view value) -> std::string {
       const std::optional<uint64_t> count = cli::parse_decimal(value, 9);
       if (!count) return "bad count " + cli::quoted(value);
       settings.count = *count;
       return {};
     }},
};

TEST(CommandLine, ReadsEveryFormAndStopsAtTheFirstFault) {
  struct Row {
    Args args;
    std::string error = "";
    cli::Request request = cli::Request::kRun;
    Args operands = {};
    Args given = {};
    std::string name = "";
    bool loud = false;
    uint64_t count = 0;
  };
  const Row rows[] = {
      {.args = {"--name", "a", "x"}, .operands = {"x"}, .given = {"--name"}, .name = "a"},
      {.args = {"--name=a=b", "--loud"},
       .given = {"--name", "--loud"},
       .name = "a=b",
       .loud = true},
      {.args = {"--name=", "--name", "--loud"}, .given = {"--name", "--name"}, .name = "--loud"},
      {.args = {"-", "x", "--", "--count", "-"}, .operands = {"-", "x", "--count", "-"}},
      {.args = {"--count", "7", "--help", "--bogus"},
       .request = cli::Request::kHelp,
       .given = {"--count"},
       .count = 7},
      {.args = {"x", "--version", "y"}, .request = cli::Request::kVersion, .operands = {"x"}},
      {.args = {"--bogus", "--help"}, .error = "unknown option '--bogus'"},
      {.args = {"-x=1"}, .error = "unknown option '-x'"},
      {.args = {"--loud=yes"}, .error = "option '--loud' takes no value"},
      {.args = {"--help="}, .error = "option '--help' takes no value"},
      {.args = {"x", "--name"}, .error = "option '--name' needs a value", .operands = {"x"}},
      {.args = {"--count=10", "--bogus"}, .error = "bad count '10'", .given = {"--count"}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.args[0]);
    cli::ParseOutcome<Settings> outcome;
    const cli::CommandLine line = cli::parse(kTable, row.args, outcome);
    EXPECT_EQ(outcome.error, row.error);
    EXPECT_EQ(outcome.request, row.request);
    EXPECT_EQ(outcome.runs(), row.error.empty() && row.request == cli::Request::kRun);
    EXPECT_EQ(line.operands, row.operands);
    EXPECT_EQ(line.given, row.given);
    EXPECT_EQ(outcome.options.name, row.name);
    EXPECT_EQ(outcome.options.loud, row.loud);
    EXPECT_EQ(outcome.options.count, row.count);
  }
}

std::vector<std::string> lines_of(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The help: usage line, description, every option with its help in one column (continuation
// lines too), long lines wrapped within the width, and every exit status.
TEST(HelpText, ListsEveryOptionInOneColumnAndEveryExitStatus) {
  const cli::About about = {"prog", "1.0", "[OPTION]... FILE", "Does things.\n\nTo FILE."};
  const std::string help = cli::help_text(about, kTable);
  const std::vector<std::string> lines = lines_of(help);
  ASSERT_GT(lines.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
            (std::vector<std::string>{"Usage: prog [OPTION]... FILE", "Does things.", "",
                                      "To FILE.", ""}));

  const std::size_t column = std::string("  --name TEXT  ").size();  // the longest, and a gap
  const auto option_line = [&lines](std::string_view start) {
    return std::find_if(lines.begin(), lines.end(),
                        [start](const std::string &line) { return line.starts_with(start); });
  };
  const struct {
    std::string_view start;  // the name and argument
    std::string_view help;   // the first line of its help
  } options[] = {{"  --name TEXT", "the name"},
                 {"  --loud", "first line"},
                 {"  --count N", "a help line long"},
                 {"  --help", "print this help"},
                 {"  --version", "print the version"}};
  for (const auto &option : options) {
    SCOPED_TRACE(option.start);
    const auto line = option_line(option.start);
    ASSERT_NE(line, lines.end());
    EXPECT_EQ(line->find(option.help), column);
  }
  EXPECT_EQ(option_line("  --loud")[1], std::string(column, ' ') + "  second line, indented");

  std::string wrapped_help;
  for (auto line = option_line("  --count"); line != option_line("  --help"); ++line) {
    const bool one_word = line->find(' ', column) == std::string::npos;
    EXPECT_TRUE(line->size() <= cli::kHelpWidth || one_word) << *line;
    EXPECT_EQ(line->find_first_not_of(' '), line == option_line("  --count") ? 2 : column);
    wrapped_help += line->substr(column) + " ";
  }
  EXPECT_EQ(wrapped_help, kLongHelp + " ");

  std::string statuses;
  for (auto line = option_line("Exit status:"); line != lines.end(); ++line)
    statuses += *line + " ";
  for (const cli::ExitStatusMeaning &status : cli::kExitStatuses) {
    EXPECT_NE(statuses.find(std::to_string(status.status) + " " + std::string(status.meaning)),
              std::string::npos)
        << status.meaning;
  }
}

TEST(Values, QuoteSplitAndReadNumbers) {
  EXPECT_EQ(cli::quoted(""), "''");
  EXPECT_EQ(cli::quoted("a b"), "'a b'");
  // Nothing a terminal would act on gets through; valid UTF-8 does, C1 controls excepted.
  const std::pair<std::string, std::string> escapes[] = {
      {"\x1b]0;title\x07", "\\x1b]0;title\\x07"},
      {"a\nb\x7f", "a\\x0ab\\x7f"},
      {"back\\x1bslash", "back\\x1bslash"},
      {"\xc2\x9b"
       "2J",
       "\\xc2\\x9b2J"},
      {"caf\xc3\xa9 \xe2\x82\xac", "caf\xc3\xa9 \xe2\x82\xac"},
      {"\xff\xc3", "\\xff\\xc3"},
      {"\xed\xa0\x80", "\\xed\\xa0\\x80"},
      {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
  };
  for (const auto &[text, shown] : escapes) EXPECT_EQ(cli::escaped(text), shown) << shown;

  using Items = std::vector<std::string_view>;
  EXPECT_EQ(cli::split_list(""), Items{""});
  EXPECT_EQ(cli::split_list("a,,b"), (Items{"a", "", "b"}));
  EXPECT_EQ(cli::split_list("a,"), (Items{"a", ""}));

  const struct {
    std::string_view text;
    uint64_t max;
    std::optional<uint64_t> value;
  } numbers[] = {
      {"0", 0, 0},
      {"255", 255, 255},
      {"256", 255, std::nullopt},
      {"18446744073709551615", UINT64_MAX, UINT64_MAX},
      {"18446744073709551616", UINT64_MAX, std::nullopt},
      {"", UINT64_MAX, std::nullopt},
      {"+1", UINT64_MAX, std::nullopt},
      {"-1", UINT64_MAX, std::nullopt},
      {" 1", UINT64_MAX, std::nullopt},
      {"1x", UINT64_MAX, std::nullopt},
  };
  for (const auto &number : numbers) {
    EXPECT_EQ(cli::parse_decimal(number.text, number.max), number.value) << number.text;
  }
}

TEST(FinishStream, ClosesAFileAndReportsWhyItsDataWasLost) {
  std::FILE *full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  std::fputs("lost", full);
  EXPECT_EQ(cli::finish_stream(full), ENOSPC);
  std::FILE *temporary = std::tmpfile();
  ASSERT_NE(temporary, nullptr);
  std::fputs("kept", temporary);
  EXPECT_EQ(cli::finish_stream(temporary), 0);
}

TEST(RunReportingOutOfMemory, GivesTheWorksStatusOrFailedWhenMemoryRanOut) {
  EXPECT_EQ(cli::run_reporting_out_of_memory("prog", [] { return int{cli::kBadUsage}; }),
            cli::kBadUsage);
  testing::internal::CaptureStderr();
  const int status =
      cli::run_reporting_out_of_memory("prog", []() -> int { throw std::bad_alloc(); });
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "prog: out of memory\n");
  EXPECT_EQ(status, cli::kFailed);
}

}  // namespace
