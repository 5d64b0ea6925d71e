// The catalogue's types as text, from the library's list of them.
#include "type_list.h"

#include <protolib/catalogue.hpp>

#include <algorithm>

namespace capgen {

namespace {

constexpr std::string_view kMark = "{types}";
constexpr std::size_t kWidth = 88;
constexpr std::size_t kDescriptionColumn = 21;

}  // namespace

std::string catalogue_type_list() {
  std::string list;
  for (uint8_t type : protolib::kCatalogueTypes) {
    list += (list.empty() ? "" : ", ") + std::to_string(type);
  }
  return list;
}

std::string with_type_list(std::string_view help) {
  const std::size_t mark = help.find(kMark);
  if (mark == std::string_view::npos) return std::string(help);
  const std::size_t line_start = help.rfind('\n', mark) + 1;  // 0 when there is no newline
  const std::size_t line_end = std::min(help.find('\n', mark), help.size());
  std::string line = std::string(help.substr(line_start, mark - line_start)) +
                     catalogue_type_list() +
                     std::string(help.substr(mark + kMark.size(), line_end - mark - kMark.size()));
  std::string wrapped;
  while (line.size() > kWidth) {
    const std::size_t space = line.rfind(' ', kWidth);
    if (space == std::string::npos || space <= kDescriptionColumn) break;  // no room to wrap
    wrapped += line.substr(0, space) + "\n";
    line = std::string(kDescriptionColumn, ' ') + line.substr(space + 1);
  }
  return std::string(help.substr(0, line_start)) + wrapped + line +
         std::string(help.substr(line_end));
}

}  // namespace capgen
