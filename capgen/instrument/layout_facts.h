// What the simulated instrument reads off the catalogue's layout of a record or entry
// (protolib::Layout<Owner>::kFields): how many fields it has, where a member or its counted
// entries are, and how many floating-point scalars come before a field. Everything here reads the
// layout through protolib::walk_layout.
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

namespace layout_detail {

inline constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// A hook that passes a description by.
inline constexpr auto kPass = [](const auto &) {};

// The position of Record's counted entries, or kNone.
template <typename Record>
inline constexpr std::size_t kCountedAt = [] {
  std::size_t found = kNone;
  protolib::walk_layout<Record>(protolib::LayoutHooks{
      kPass, kPass, [&found](const auto &, auto at) { found = decltype(at)::kIndex; }});
  return found;
}();

// Declared only, and no constexpr function: position_of calls it for a member that its owner's
// layout does not describe, which then does not compile.
std::size_t member_is_not_in_the_layout();

}  // namespace layout_detail

// The position in Owner's layout of the field member, or of the counted entries whose count byte
// member is. A member the layout does not describe, the entries array of counted entries among
// them, is a compile error.
template <typename Owner, typename Member>
consteval std::size_t position_of(Member Owner::*member) {
  using Pointer = Member Owner::*;
  std::size_t found = layout_detail::kNone;
  const auto field = [&](const auto &description, auto at) {
    if constexpr (std::is_same_v<decltype(description.member), Pointer>) {
      if (description.member == member) found = decltype(at)::kIndex;
    }
  };
  protolib::walk_layout<Owner>(
      protolib::LayoutHooks{field, field, [&](const auto &list, auto at) {
                              if constexpr (std::is_same_v<decltype(list.count), Pointer>) {
                                if (list.count == member) found = decltype(at)::kIndex;
                              }
                            }});
  return found != layout_detail::kNone ? found : layout_detail::member_is_not_in_the_layout();
}

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
  const auto field = [&](const auto &description, auto at) {
    using Description = std::remove_cvref_t<decltype(description)>;
    if (decltype(at)::kIndex < position &&
        std::is_floating_point_v<typename Description::Element>) {
      scalars += Description::kLength;
    }
  };
  protolib::walk_layout<Owner>(protolib::LayoutHooks{field, field, layout_detail::kPass});
  return scalars;
}

}  // namespace capgen

#endif  // CAPGEN_SRC_LAYOUT_FACTS_H
