// The --help text of a program: its usage line and description, then its options aligned in a
// column, then the exit statuses that every program of this kit shares.
#ifndef CLI_HELP_TEXT_H
#define CLI_HELP_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"

namespace cli {

// Lines of --help are at most this long, but for a word longer than a line.
inline constexpr std::size_t kHelpWidth = 88;

// What a program says of itself.
struct About {
  std::string_view name;         // as it names itself in messages: "capgen"
  std::string_view version;      // what --version prints after the name
  std::string_view usage;        // the usage line after the name: "[OPTION]... OUT"
  std::string_view description;  // what it does; '\n' starts a line, long lines wrap
};

// An option as --help shows it.
struct OptionHelp {
  std::string_view name;
  std::string_view short_name;  // shown before name when not empty: "-f, --follow"
  std::string_view argument;    // empty for a flag
  std::string_view help;        // '\n' starts a line, long lines wrap
};

// "Usage: NAME USAGE", the description, "Options:" with every option (--help and --version
// added last), each option's help starting in one column, and the exit-status paragraph.
std::string format_help(const About &about, const std::vector<OptionHelp> &options);

// format_help with the options of table.
template <typename Settings>
std::string help_text(const About &about, const OptionTable<Settings> &table) {
  std::vector<OptionHelp> options;
  for (const Option<Settings> &option : table) {
    options.push_back({option.name, option.short_name, option.argument, option.help});
  }
  return format_help(about, options);
}

}  // namespace cli

#endif  // CLI_HELP_TEXT_H
