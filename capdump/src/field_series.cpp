#include "capdump/src/field_series.h"

#include <array>

namespace capdump {

namespace {

// Appends the series names of Record's fields, each after prefix.
template <typename Record>
void append_names(std::vector<SeriesName> &names, uint8_t type, const std::string &prefix) {
  const Record record{};
  protolib::for_each_field(record, [&](std::string_view name, const auto &value) {
    using Value = std::remove_cvref_t<decltype(value)>;
    const std::string field = prefix + std::string(name);
    if constexpr (detail::IsEntryList<Value>::value) {
      using Entry = std::remove_cvref_t<decltype(value.entries[0])>;
      append_names<Entry>(names, type, field + ".");
    } else {
      names.push_back({type, std::is_array_v<Value> ? field + "[]" : field});
    }
  });
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
