// line_room.h - the most characters a line of capdump's JSON Lines or CSV takes, worked out from
// the catalogue at compile time, so that the room a writer reserves grows with the longest
// layout instead of being a number kept by hand.
#ifndef CAPDUMP_SRC_LINE_ROOM_H
#define CAPDUMP_SRC_LINE_ROOM_H

#include <protolib/wire.h>
#include <protolib/catalogue.hpp>

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <type_traits>

#include "io/number_text.h"

namespace capdump {

namespace line_room_detail {

template <typename Description>
using ElementOf = typename std::remove_cvref_t<Description>::Element;

// The most characters a value of Element takes as text: in decimal, or in shortest form.
template <typename Element>
constexpr std::size_t value_room() {
  if constexpr (std::floating_point<Element>) {
    return io::kMaxNumberText;
  } else {
    return io::kMaxDecimal<Element>;
  }
}

}  // namespace line_room_detail

// The most characters put_json_fields writes for an Owner (a catalogue record or entry): each
// member's key and value, a non-finite float's null and ,"name_bits":"<hex>", and every entry
// up to the capacity.
template <typename Owner>
constexpr std::size_t json_fields_room() {
  using line_room_detail::ElementOf;
  using line_room_detail::value_room;
  std::size_t room = 0;
  protolib::walk_layout<Owner>(protolib::LayoutHooks{
      [&room](const auto &field) {
        using Element = ElementOf<decltype(field)>;
        room += field.name.size() + 4 + value_room<Element>();  // ,"name":value
        if constexpr (std::floating_point<Element>) {
          room += field.name.size() + 14 + 2 * sizeof(Element);  // null,"name_bits":"<hex>"
        }
      },
      [&room](const auto &field) {
        using Element = ElementOf<decltype(field)>;
        room += field.name.size() + 5 + field.kLength * (value_room<Element>() + 1);
      },
      [&room](const auto &list) {
        using Entry = typename std::remove_cvref_t<decltype(list)>::EntryType;
        room += list.count_name.size() + 4 + value_room<uint8_t>();
        room += list.name.size() + 5 + list.kCapacity * (json_fields_room<Entry>() + 2);
      }});
  return room;
}

// The most characters of the cells CSV gives the fields of an Owner: a comma and a value for
// each element, the count, and every entry up to the capacity.
template <typename Owner>
constexpr std::size_t csv_cells_room() {
  using line_room_detail::ElementOf;
  using line_room_detail::value_room;
  std::size_t room = 0;
  const auto field = [&room](const auto &described) {
    room += described.kLength * (1 + value_room<ElementOf<decltype(described)>>());
  };
  protolib::walk_layout<Owner>(protolib::LayoutHooks{
      field, field, [&room](const auto &list) {
        using Entry = typename std::remove_cvref_t<decltype(list)>::EntryType;
        room += 1 + value_room<uint8_t>() + list.kCapacity * csv_cells_room<Entry>();
      }});
  return room;
}

// The most of room_of(kind) over the catalogue's types.
template <typename RoomOf>
constexpr std::size_t most_over_catalogue(RoomOf room_of) {
  std::size_t most = 0;
  protolib::for_each_catalogue_type([&](auto kind) { most = std::max(most, room_of(kind)); });
  return most;
}

// Characters of a line besides its fields and payload: every key and value JSON Lines and CSV
// put before and after them (offset, time, type, length, form, recovered, an error's reason and
// counts, the closing characters) take fewer than this.
inline constexpr std::size_t kLineHeadRoom = 256;

// Room for the longest JSON line capdump writes: a packet of the catalogue's longest type, every
// float non-finite, with its payload in hex.
inline constexpr std::size_t kJsonLineRoom =
    kLineHeadRoom + std::size_t{2} * WIRE_MAX_PAYLOAD + most_over_catalogue([](auto kind) {
      return json_fields_room<typename decltype(kind)::Record>();
    });

// Room for the longest CSV row capdump writes.
inline constexpr std::size_t kCsvRowRoom =
    kLineHeadRoom + std::size_t{2} * WIRE_MAX_PAYLOAD + most_over_catalogue([](auto kind) {
      return csv_cells_room<typename decltype(kind)::Record>();
    });

}  // namespace capdump

#endif  // CAPDUMP_SRC_LINE_ROOM_H
