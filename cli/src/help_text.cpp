#include "cli/help_text.h"

#include <algorithm>
#include <iterator>

#include "cli/exit_status.h"

namespace cli {

namespace {

// Appends line, which starts in column start, broken at spaces into lines of at most kHelpWidth
// columns; each line it adds starts with indent spaces. Ends with a newline.
void append_wrapped(std::string &text, std::string_view line, std::size_t start,
                    std::size_t indent) {
  while (start + line.size() > kHelpWidth) {
    const std::size_t room = kHelpWidth > start ? kHelpWidth - start : 0;
    std::size_t space = line.rfind(' ', room);
    if (space == std::string_view::npos || line.find_first_not_of(' ') >= space) {
      space = line.find(' ', line.find_first_not_of(' '));  // a word longer than the room
    }
    if (space == std::string_view::npos) break;
    text.append(line.substr(0, space)).append("\n").append(indent, ' ');
    line.remove_prefix(std::min(line.find_first_not_of(' ', space), line.size()));
    start = indent;
  }
  text.append(line).append("\n");
}

// Appends text line by line, each starting in column start after what text already holds on
// its first line and after start spaces on the others.
void append_lines(std::string &text, std::string_view lines, std::size_t start) {
  for (bool first = true;; first = false) {
    const std::size_t newline = lines.find('\n');
    if (!first) text.append(start, ' ');
    append_wrapped(text, lines.substr(0, newline), start, start);
    if (newline == std::string_view::npos) return;
    lines.remove_prefix(newline + 1);
  }
}

std::string exit_statuses() {
  std::string paragraph = "Exit status:";
  for (const ExitStatusMeaning &row : kExitStatuses) {
    paragraph.append(&row == std::begin(kExitStatuses) ? " " : "; ")
        .append(std::to_string(row.status))
        .append(" ")
        .append(row.meaning);
  }
  return paragraph + ".";
}

}  // namespace

std::string format_help(const About &about, const std::vector<OptionHelp> &options) {
  std::vector<OptionHelp> rows = options;
  rows.push_back({"--help", "", "", "print this help and exit"});
  rows.push_back({"--version", "", "", "print the version and exit"});
  const auto left = [](const OptionHelp &row) {
    std::string start = "  ";
    if (!row.short_name.empty()) start.append(row.short_name).append(", ");
    start.append(row.name);
    if (!row.argument.empty()) start.append(" ").append(row.argument);
    return start;
  };
  std::size_t column = 0;
  for (const OptionHelp &row : rows) column = std::max(column, left(row).size() + 2);

  std::string text = "Usage: " + std::string(about.name) + " " + std::string(about.usage) + "\n";
  append_lines(text, about.description, 0);
  text += "\nOptions:\n";
  for (const OptionHelp &row : rows) {
    const std::string start = left(row);
    text.append(start).append(column - start.size(), ' ');
    append_lines(text, row.help, column);
  }
  text += "\n";
  append_lines(text, exit_statuses(), 0);
  return text;
}

}  // namespace cli
