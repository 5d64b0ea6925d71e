#include "fuzz/page_scan.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace {

constexpr std::array<std::string_view, 6> kVoidElements = {"meta", "br",    "hr",
                                                           "img",  "input", "link"};

bool is_word_byte(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-' || c == '+';
}

// True when text holds, as a whole word, one of words after an optional sign; any_case: the
// word's letters in any case.
bool has_number_word(std::string_view text, std::initializer_list<std::string_view> words,
                     bool any_case) {
  for (std::size_t at = 0; at < text.size();) {
    if (!is_word_byte(text[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < text.size() && is_word_byte(text[end])) ++end;
    std::string word(text.substr(at, end - at));
    if (word.front() == '-' || word.front() == '+') word.erase(0, 1);
    if (any_case) {
      std::transform(word.begin(), word.end(), word.begin(),
                     [](char c) { return static_cast<char>(std::tolower(c)); });
    }
    if (std::find(words.begin(), words.end(), word) != words.end()) return true;
    at = end;
  }
  return false;
}

bool number_free_text(std::string_view text) {
  return !has_number_word(text, {"nan", "inf"}, false);
}

bool number_free_value(std::string_view value) {
  return !has_number_word(value, {"nan", "inf", "infinity"}, true);
}

std::string_view name_at(std::string_view page, std::size_t at) {
  std::size_t end = at;
  while (end < page.size() &&
         (std::isalnum(static_cast<unsigned char>(page[end])) != 0 || page[end] == '-')) {
    ++end;
  }
  return page.substr(at, end - at);
}

}  // namespace

PageScan scan_page(std::string_view page) {
  PageScan scan;
  constexpr std::string_view kDoctype = "<!DOCTYPE html>";
  if (!page.starts_with(kDoctype)) return scan;
  std::vector<std::string_view> open;
  std::size_t at = kDoctype.size();
  while (at < page.size()) {
    const std::size_t lt = std::min(page.find('<', at), page.size());
    if (!number_free_text(page.substr(at, lt - at))) return scan;
    if (lt == page.size()) break;
    if (page.substr(lt).starts_with("<!--")) {
      const std::size_t end = page.find("-->", lt);
      if (end == std::string_view::npos) return scan;
      at = end + 3;
      continue;
    }
    if (page.substr(lt).starts_with("</")) {
      const std::string_view name = name_at(page, lt + 2);
      const std::size_t close = lt + 2 + name.size();
      if (open.empty() || open.back() != name || close >= page.size() || page[close] != '>') {
        return scan;
      }
      open.pop_back();
      at = close + 1;
      continue;
    }
    const std::string_view name = name_at(page, lt + 1);
    if (name.empty()) return scan;
    // The attributes, up to '>' or "/>".
    std::size_t pos = lt + 1 + name.size();
    bool json = false;
    bool self_closed = false;
    for (;;) {
      if (pos >= page.size()) return scan;
      if (page[pos] == '>') break;
      if (page.substr(pos).starts_with("/>")) {
        self_closed = true;
        ++pos;
        break;
      }
      if (page[pos] == '"') {
        const std::size_t end = page.find('"', pos + 1);
        if (end == std::string_view::npos) return scan;
        const std::string_view value = page.substr(pos + 1, end - pos - 1);
        if (!number_free_value(value)) return scan;
        json = json || (value == "application/json" && page.substr(0, pos).ends_with("type="));
        pos = end + 1;
        continue;
      }
      if (page[pos] == '<') return scan;
      ++pos;
    }
    at = pos + 1;
    if (self_closed ||
        std::find(kVoidElements.begin(), kVoidElements.end(), name) != kVoidElements.end()) {
      continue;
    }
    if (name == "script" || name == "style") {
      const std::string end_tag = "</" + std::string(name) + ">";
      const std::size_t end = page.find(end_tag, at);
      if (end == std::string_view::npos) return scan;
      if (json) scan.json_scripts.push_back(page.substr(at, end - at));
      at = end + end_tag.size();
      continue;
    }
    open.push_back(name);
  }
  scan.well_formed = open.empty();
  return scan;
}
