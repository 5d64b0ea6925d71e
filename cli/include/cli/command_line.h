// Option tables and the reading of a command line against one: --name VALUE or --name=VALUE,
// "--" ends the options, "-" and every word that does not start with '-' are operands. --help
// and --version are every program's and need no row.
#ifndef CLI_COMMAND_LINE_H
#define CLI_COMMAND_LINE_H

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// What the command line asks of the program.
enum class Request {
  kRun,      // do its work
  kHelp,     // print the help text
  kVersion,  // print the version
};

// The request that word makes when it is --help or --version, the options every program has;
// nothing for any other word.
std::optional<Request> request_named(std::string_view word);

// A row of a program's option table.
template <typename Settings>
struct Option {
  std::string_view name;      // as written, dashes included: "--size"
  std::string_view argument;  // the value's name in the help ("BYTES"); empty for a flag
  std::string help;           // what --help says of it; '\n' starts a line, long lines wrap
  // Applies the option with its value (empty for a flag) to settings. Returns an error message,
  // or empty.
  std::string (*apply)(Settings &settings, std::string_view value);
  std::string_view short_name = {};  // a one-letter spelling ("-f"), or empty
};

template <typename Settings>
using OptionTable = std::vector<Option<Settings>>;

// A command line as read, or the first fault found in it.
struct CommandLine {
  Request request = Request::kRun;
  std::vector<std::string_view> operands;  // in order
  std::vector<std::string_view> given;     // the names of the options applied, in order
  std::string error;                       // empty unless the command line is wrong

  // True when option name was applied.
  bool has(std::string_view name) const;
  // For a program that takes one file, what ("input" or "output"): empty when there is exactly
  // one operand, else "missing WHAT file (use - for standard WHAT)" or "unexpected operand 'X'
  // (one WHAT file only)".
  std::string one_file_error(std::string_view what) const;
};

// Reads args (those after the program name) from the left and stops at the first fault, or at
// --help or --version, which leave the rest unread. takes_value(name) says whether option name
// takes a value, nothing for no such option; apply(name, value) applies it and returns an error
// message or empty. The errors of its own: "unknown option '--x'", "option '--x' needs a value",
// "option '--x' takes no value".
CommandLine read_command_line(
    const std::vector<std::string_view> &args,
    const std::function<std::optional<bool>(std::string_view name)> &takes_value,
    const std::function<std::string(std::string_view name, std::string_view value)> &apply);

// A program's options once read: its settings, what it is asked to do, or what is wrong.
template <typename Settings>
struct ParseOutcome {
  Settings options;
  Request request = Request::kRun;
  std::string error;  // empty when the command line is good

  // True when the program is to do its work: no error, no --help or --version.
  bool runs() const { return error.empty() && request == Request::kRun; }
};

// read_command_line with the options of table, applied to outcome.options; outcome also gets the
// request and the error. Returns what was read, with each option given by its long name.
template <typename Settings>
CommandLine parse(const OptionTable<Settings> &table, const std::vector<std::string_view> &args,
                  ParseOutcome<Settings> &outcome) {
  const auto row = [&table](std::string_view name) {
    return std::find_if(table.begin(), table.end(), [name](const Option<Settings> &option) {
      return option.name == name || (!option.short_name.empty() && option.short_name == name);
    });
  };
  CommandLine line = read_command_line(
      args,
      [&](std::string_view name) -> std::optional<bool> {
        const auto found = row(name);
        if (found == table.end()) return std::nullopt;
        return !found->argument.empty();
      },
      [&](std::string_view name, std::string_view value) {
        return row(name)->apply(outcome.options, value);
      });
  for (std::string_view &name : line.given) name = row(name)->name;
  outcome.request = line.request;
  outcome.error = line.error;
  return line;
}

}  // namespace cli

#endif  // CLI_COMMAND_LINE_H
