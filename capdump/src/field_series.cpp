#include "capdump/src/field_series.h"

#include <array>
#include <string_view>

namespace capdump {

namespace {

// Appends the series names of Record's fields, each after prefix.
template <typename Record>
void append_names(std::vector<SeriesName> &names, uint8_t type, const std::string &prefix) {
  const auto named = [&](const std::string &name) { names.push_back({type, prefix + name}); };
  protolib::walk_layout<Record>(protolib::LayoutHooks{
      [&](const auto &field) { named(std::string(field.name)); },
      [&](const auto &field) {
        for (std::size_t i = 0; i < std::size(Record{}.*field.member); ++i)
          named(std::string(field.name) + "[" + std::to_string(i) + "]");
      },
      [&](const auto &list) {
        using Entry = typename std::remove_cvref_t<decltype(list)>::EntryType;
        named(std::string(list.count_name));
        for (std::size_t i = 0; i < list.kCapacity; ++i) {
          append_names<Entry>(names, type,
                              prefix + std::string(list.name) + "[" + std::to_string(i) + "].");
        }
      }});
}

// A series' chart title: its name with the first index made "[]".
std::string title_of(const std::string &field) {
  const std::size_t open = field.find('[');
  if (open == std::string::npos) return field;
  return field.substr(0, open + 1) + field.substr(field.find(']', open));
}

// Groups names by type and title, in order, at most kLinesPerChart a group.
std::vector<SeriesGroup> grouped(const std::vector<SeriesName> &names) {
  std::vector<SeriesGroup> groups;
  std::vector<std::size_t> open;  // the groups of the current type still taking series
  for (std::size_t s = 0; s < names.size(); ++s) {
    if (s > 0 && names[s].type != names[s - 1].type) open.clear();
    const std::string title = title_of(names[s].field);
    auto found = std::find_if(open.begin(), open.end(), [&](std::size_t g) {
      return groups[g].title == title && groups[g].series.size() < kLinesPerChart;
    });
    if (found == open.end()) {
      open.push_back(groups.size());
      groups.push_back({names[s].type, title, {}, title == names[s].field});
      found = open.end() - 1;
    }
    groups[*found].series.push_back(s);
  }
  return groups;
}

struct Catalogue {
  std::vector<SeriesName> names;
  std::vector<SeriesGroup> groups;
  std::array<std::size_t, 256> first{};
};

const Catalogue &catalogue() {
  static const Catalogue walked = [] {
    Catalogue result;
    protolib::for_each_catalogue_type([&](auto kind) {
      result.first[decltype(kind)::kType] = result.names.size();
      append_names<typename decltype(kind)::Record>(result.names, decltype(kind)::kType, "");
    });
    result.groups = grouped(result.names);
    return result;
  }();
  return walked;
}

}  // namespace

const std::vector<SeriesName> &catalogue_series() {
  return catalogue().names;
}

const std::vector<SeriesGroup> &catalogue_groups() {
  return catalogue().groups;
}

std::size_t first_series(uint8_t type) {
  return catalogue().first[type];
}

}  // namespace capdump
