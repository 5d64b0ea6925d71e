// field_series.h - the numbers a catalogue packet carries, as series a report can follow along a
// capture: one series per field of a record, an array's elements sharing their field's series
// and the counted entries' same field sharing one series.
#ifndef CAPDUMP_SRC_FIELD_SERIES_H
#define CAPDUMP_SRC_FIELD_SERIES_H

#include <protolib/catalogue.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "capdump/src/spread.h"
#include "capture_pass/decoded_packet.h"

namespace capdump {

struct SeriesName {
  uint8_t type;       // the catalogue type whose records carry it
  std::string field;  // "name", "name[]" for an array, "entries.name" for a counted entry's
};

// Every series of the catalogue, by type in ascending order, then in wire order.
const std::vector<SeriesName> &catalogue_series();

// The index in catalogue_series() of type's first series; type must be in the catalogue.
std::size_t first_series(uint8_t type);

namespace detail {

// The spread of one value.
inline Spread spread_of(double value) {
  Spread one;
  one.add(value);
  return one;
}

// Calls each(series, spread) for every field of record with the spread of its values (one, or
// an array's elements), numbering series from first on; returns the number after the record's
// last series.
template <typename Record, typename Each>
std::size_t each_number(const Record &record, Each &each, std::size_t first) {
  std::size_t series = first;
  protolib::walk_layout<Record>(protolib::LayoutHooks{
      [&](const auto &field) {
        each(series++, spread_of(static_cast<double>(record.*field.member)));
      },
      [&](const auto &field) {
        Spread elements;
        for (const auto element : record.*field.member) elements.add(static_cast<double>(element));
        each(series++, elements);
      },
      [&](const auto &list) {
        using Entry = typename std::remove_cvref_t<decltype(list)>::EntryType;
        const uint8_t count = record.*list.count;
        each(series++, spread_of(count));
        const std::size_t entries = std::min<std::size_t>(count, list.kCapacity);
        for (std::size_t i = 0; i < entries; ++i)
          each_number((record.*list.entries)[i], each, series);
        const auto skip = [](std::size_t, const Spread &) {};
        series = each_number(Entry{}, skip, series);
      }});
  return series;
}

}  // namespace detail

// For an exact packet (type byte, length byte L, L payload bytes) of a catalogue type, calls
// each(series, spread) for every field of its record with the spread of its values, series indexing
// catalogue_series(); the entries' same field once per entry. Calls nothing for other packets: a
// record decoded from a payload of another length would show made-up zeros.
template <typename Each>
void for_each_spread(const uint8_t *packet, Each &&each) {
  capture_pass::show_decoded(packet, [&](const auto &record, protolib::PacketForm form) {
    if (form == protolib::PacketForm::kExact)
      detail::each_number(record, each, first_series(packet[0]));
  });
}

}  // namespace capdump

#endif  // CAPDUMP_SRC_FIELD_SERIES_H
