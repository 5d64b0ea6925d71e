// field_series.h - the numbers a catalogue packet carries, as series a report can follow along a
// capture: one series per scalar field, per array element and per counted entry's field at each
// entry index, grouped into the charts that show them together.
#ifndef CAPDUMP_SRC_FIELD_SERIES_H
#define CAPDUMP_SRC_FIELD_SERIES_H

#include <protolib/catalogue.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "capture_pass/decoded_packet.h"

namespace capdump {

struct SeriesName {
  uint8_t type;       // the catalogue type whose records carry it
  std::string field;  // "name", "name[3]" for an array element, "entries[2].name" for an entry's
};

// A chart's worth of series: a scalar alone, or an array's elements, or one field of every
// counted entry, at most kLinesPerChart of them.
struct SeriesGroup {
  uint8_t type;
  std::string title;                // the field with its varying index as "[]"; "lead", "words[]"
  std::vector<std::size_t> series;  // indexes in catalogue_series(), in wire order
  bool scalar;                      // a scalar field of the record itself
};

inline constexpr std::size_t kLinesPerChart = 16;

// Every series of the catalogue, by type in ascending order, then in wire order.
const std::vector<SeriesName> &catalogue_series();

// The series grouped for charts, in the order of their first series.
const std::vector<SeriesGroup> &catalogue_groups();

// The index in catalogue_series() of type's first series; type must be in the catalogue.
std::size_t first_series(uint8_t type);

namespace detail {

// Calls each(series, value) for every number of record, numbering series from first on; returns
// the number after the record's last series.
template <typename Record, typename Each>
std::size_t each_number(const Record &record, Each &each, std::size_t first) {
  std::size_t series = first;
  protolib::walk_layout<Record>(protolib::LayoutHooks{
      [&](const auto &field) { each(series++, static_cast<double>(record.*field.member)); },
      [&](const auto &field) {
        for (const auto element : record.*field.member)
          each(series++, static_cast<double>(element));
      },
      [&](const auto &list) {
        using Entry = typename std::remove_cvref_t<decltype(list)>::EntryType;
        const uint8_t count = record.*list.count;
        each(series++, static_cast<double>(count));
        const auto skip = [](std::size_t, double) {};
        const std::size_t per_entry = each_number(Entry{}, skip, 0);
        const std::size_t entries = std::min<std::size_t>(count, list.kCapacity);
        for (std::size_t i = 0; i < entries; ++i)
          each_number((record.*list.entries)[i], each, series + i * per_entry);
        series += list.kCapacity * per_entry;
      }});
  return series;
}

}  // namespace detail

// For a packet (type byte, length byte L, L payload bytes) of a catalogue type whose form, as
// packet_form gives it, is exact, calls each(series, value) for every number of its record,
// series indexing catalogue_series(); an entry's fields only for the entries its count holds.
template <typename Each>
void for_each_number(const uint8_t *packet, Each &&each) {
  capture_pass::show_decoded(packet, protolib::PacketForm::kExact, [&](const auto &record, auto) {
    detail::each_number(record, each, first_series(packet[0]));
  });
}

}  // namespace capdump

#endif  // CAPDUMP_SRC_FIELD_SERIES_H
