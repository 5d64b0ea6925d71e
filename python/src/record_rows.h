// record_rows.h - a packet as one row of a NumPy structured array: its head (offset uint64,
// with a clock time float64, length uint8, exact bool, with recovery recovered bool), then for a
// catalogue type its record's fields in wire order with their C types, packed, arrays as
// sub-arrays and counted entries as a sub-array of the capacity; for any other type its payload
// as 255 bytes. Bytes past the end of a short payload are 0.
#ifndef PYTHON_SRC_RECORD_ROWS_H
#define PYTHON_SRC_RECORD_ROWS_H

#include <pybind11/numpy.h>

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

// With the GIL held: the dtype of the rows of type, 0 to 255, with the head columns which.
pybind11::dtype row_dtype(unsigned type, HeadColumns which);

}  // namespace pyproto

#endif  // PYTHON_SRC_RECORD_ROWS_H
