#include "capdump/src/field_series.h"

#include <array>
#include <string_view>

namespace capdump {

namespace {

// Appends the series names of Record's fields, each after prefix.
template <typename Record>
void append_names(std::vector<SeriesName> &names, uint8_t type, const std::string &prefix) {
  const auto named = [&](std::string_view name, std::string_view suffix = {}) {
    names.push_back({type, prefix + std::string(name) + std::string(suffix)});
  };
  protolib::walk_layout<Record>(protolib::LayoutHooks{
      [&](const auto &field) { named(field.name); },
      [&](const auto &field) { named(field.name, "[]"); },
      [&](const auto &list) {
        using Entry = typename std::remove_cvref_t<decltype(list)>::EntryType;
        named(list.count_name);
        append_names<Entry>(names, type, prefix + std::string(list.name) + ".");
      }});
}

struct Catalogue {
  std::vector<SeriesName> names;
  std::array<std::size_t, 256> first{};
};

const Catalogue &catalogue() {
  static const Catalogue walked = [] {
    Catalogue result;
    protolib::for_each_catalogue_type([&](auto kind) {
      result.first[decltype(kind)::kType] = result.names.size();
      append_names<typename decltype(kind)::Record>(result.names, decltype(kind)::kType, "");
    });
    return result;
  }();
  return walked;
}

}  // namespace

const std::vector<SeriesName> &catalogue_series() {
  return catalogue().names;
}

std::size_t first_series(uint8_t type) {
  return catalogue().first[type];
}

}  // namespace capdump
