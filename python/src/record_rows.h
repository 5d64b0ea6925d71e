// record_rows.h - a packet as one row of a NumPy structured array: its head (offset uint64,
// with a clock time float64, length uint8, exact bool, with recovery recovered bool), then for a
// catalogue type its record's fields in wire order with their C types, packed, arrays as
// sub-arrays and counted entries as a sub-array of the capacity; for any other type its payload
// as 255 bytes. Bytes past the end of a short payload are 0. Needs no Python: row_dtype.h gives
// the rows' dtype.
#ifndef PYTHON_SRC_RECORD_ROWS_H
#define PYTHON_SRC_RECORD_ROWS_H

#include <protolib/catalogue.hpp>
#include <protolib/packet_form.hpp>

#include <cstddef>
#include <cstdint>

namespace pyproto {

// The head columns a read's rows have besides offset, length and exact.
struct HeadColumns {
  bool time = false;       // the packet's time by the clock, in seconds
  bool recovered = false;  // only the recovery framing found the packet
};

// What a row's head holds.
struct PacketHead {
  uint64_t offset = 0;
  double time = 0;  // NaN before the clock's first packet
  uint8_t length = 0;
  protolib::PacketForm form = protolib::PacketForm::kExact;  // shown as exact (bool)
  bool recovered = false;
};

// Names the head's columns to columns (packed_columns.h), those of which in order.
template <typename Columns>
void describe_head(Columns &columns, HeadColumns which, const PacketHead &head) {
  columns("offset", head.offset);
  if (which.time) columns("time", head.time);
  columns("length", head.length);
  columns("exact", head.form == protolib::PacketForm::kExact);
  if (which.recovered) columns("recovered", head.recovered);
}

// The row size of a packet of type, in the catalogue or not, with the head columns which.
std::size_t row_size(unsigned type, HeadColumns which);

// Writes at row the row of the packet at packet (type byte, length byte L, L payload bytes)
// with head (whose length and form must be the packet's); row holds row_size(packet[0], which)
// zero bytes.
void write_row(uint8_t *row, HeadColumns which, const PacketHead &head, const uint8_t *packet);

// Names the columns after the head to columns: the record's fields for a catalogue type (the
// payload column of any other type is the caller's). Returns whether type is in the catalogue.
template <typename Columns>
bool describe_fields(Columns &columns, unsigned type) {
  return protolib::visit_catalogue_type(type, [&](auto kind) {
    const typename decltype(kind)::Record record{};
    protolib::for_each_field(record, columns);
  });
}

}  // namespace pyproto

#endif  // PYTHON_SRC_RECORD_ROWS_H
