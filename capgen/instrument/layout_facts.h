// What the simulated instrument reads off the catalogue's layout of a record or entry
// (protolib::Layout<Owner>::kFields): how many fields it has, where its counted entries are, and
// how many floating-point scalars come before a field.
#ifndef CAPGEN_SRC_LAYOUT_FACTS_H
#define CAPGEN_SRC_LAYOUT_FACTS_H

#include <protolib/catalogue.hpp>

#include <cstddef>
#include <limits>
#include <tuple>
#include <type_traits>

namespace capgen {

template <typename Owner>
constexpr const auto &fields_of() {
  return protolib::Layout<Owner>::kFields;
}

template <typename Owner>
inline constexpr std::size_t kFieldCount =
    std::tuple_size_v<std::decay_t<decltype(fields_of<Owner>())>>;

// True for the description of counted entries, false for a field's.
template <typename Description>
inline constexpr bool kIsCounted = requires {
  Description::kCapacity;
};

namespace layout_detail {

inline constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// The position of Record's counted entries, or kNone.
template <typename Record>
inline constexpr std::size_t kCountedAt = [] {
  std::size_t found = kNone;
  std::size_t at = 0;
  std::apply(
      [&](const auto &...descriptions) {
        ((found = kIsCounted<std::decay_t<decltype(descriptions)>> ? at : found, ++at), ...);
      },
      fields_of<Record>());
  return found;
}();

}  // namespace layout_detail

// True when Record has counted entries.
template <typename Record>
inline constexpr bool kHasEntries = layout_detail::kCountedAt<Record> != layout_detail::kNone;

// The description of Record's counted entries; Record must have them.
template <typename Record>
constexpr const auto &counted_entries() {
  return std::get<layout_detail::kCountedAt<Record>>(fields_of<Record>());
}

// Floating-point scalars in Owner's fields before position; all of them for a position past the
// last field.
template <typename Owner>
constexpr std::size_t floating_scalars_before(std::size_t position) {
  std::size_t scalars = 0;
  std::size_t at = 0;
  const auto add = [&](const auto &description) {
    using Description = std::decay_t<decltype(description)>;
    if constexpr (!kIsCounted<Description>) {
      if (at < position && std::is_floating_point_v<typename Description::Element>) {
        scalars += Description::kLength;
      }
    }
    ++at;
  };
  std::apply([&](const auto &...descriptions) { (add(descriptions), ...); }, fields_of<Owner>());
  return scalars;
}

}  // namespace capgen

#endif  // CAPGEN_SRC_LAYOUT_FACTS_H
