// What the simulated instrument reads off the catalogue's layout of a record or entry
// (protolib::Layout<Owner>::kFields): how many fields it has, where a member or its counted
// entries are, and how many floating-point scalars come before a field. Everything here reads the
// layout through visit_layout alone.
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

// Calls visit(description, position) for each description in Owner's layout, in wire order.
template <typename Owner, typename Visit>
constexpr void visit_layout(Visit &&visit) {
  std::size_t position = 0;
  std::apply([&](const auto &...descriptions) { (visit(descriptions, position++), ...); },
             fields_of<Owner>());
}

namespace layout_detail {

inline constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// The position of Record's counted entries, or kNone.
template <typename Record>
inline constexpr std::size_t kCountedAt = [] {
  std::size_t found = kNone;
  visit_layout<Record>([&found](const auto &description, std::size_t position) {
    if (kIsCounted<std::decay_t<decltype(description)>>) found = position;
  });
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
  visit_layout<Owner>([&](const auto &description, std::size_t position) {
    if constexpr (kIsCounted<std::decay_t<decltype(description)>>) {
      if constexpr (std::is_same_v<decltype(description.count), Pointer>) {
        if (description.count == member) found = position;
      }
    } else if constexpr (std::is_same_v<decltype(description.member), Pointer>) {
      if (description.member == member) found = position;
    }
  });
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
  visit_layout<Owner>([&](const auto &description, std::size_t at) {
    using Description = std::decay_t<decltype(description)>;
    if constexpr (!kIsCounted<Description>) {
      if (at < position && std::is_floating_point_v<typename Description::Element>) {
        scalars += Description::kLength;
      }
    }
  });
  return scalars;
}

}  // namespace capgen

#endif  // CAPGEN_SRC_LAYOUT_FACTS_H
