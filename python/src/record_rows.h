// record_rows.h - a packet as one row of a NumPy structured array: its offset (uint64) and
// length byte (uint8), then for a catalogue type its record's fields in wire order with their C
// types, packed, arrays as sub-arrays and counted entries as a sub-array of the capacity; for
// any other type its payload as 255 bytes. Bytes past the end of a short payload are 0.
#ifndef PYTHON_SRC_RECORD_ROWS_H
#define PYTHON_SRC_RECORD_ROWS_H

#include <pybind11/numpy.h>

#include <protolib/catalogue.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace pyproto {

// Bytes of a row before the record's fields: offset and length.
inline constexpr std::size_t kRowHead = sizeof(uint64_t) + sizeof(uint8_t);

// Copies each field it is given into the row, in native byte order, and moves past it.
class RowWriter {
 public:
  explicit RowWriter(uint8_t *out) : out_(out) {}
  uint8_t *end() const { return out_; }

  template <typename Value>
  void operator()(std::string_view, const Value &value) {
    std::memcpy(out_, &value, sizeof value);
    out_ += sizeof value;
  }
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view, protolib::EntryList<Entry, Capacity, Count> list) {
    for (const Entry &entry : list.entries) protolib::for_each_field(entry, *this);
  }

 private:
  uint8_t *out_;
};

// The row size of catalogue record Record.
template <typename Record>
std::size_t row_size() {
  uint8_t scratch[sizeof(Record) + kRowHead];
  RowWriter writer(scratch);
  const Record record{};
  protolib::for_each_field(record, writer);
  return kRowHead + static_cast<std::size_t>(writer.end() - scratch);
}

// The row size of a packet of type, in the catalogue or not.
std::size_t row_size(unsigned type);

// Writes at row the row of the packet at packet (type byte, length byte L, L payload bytes)
// found at offset; row holds row_size(packet[0]) zero bytes.
void write_row(uint8_t *row, uint64_t offset, const uint8_t *packet);

// With the GIL held: the dtype of the rows of type, 0 to 255.
pybind11::dtype row_dtype(unsigned type);

}  // namespace pyproto

#endif  // PYTHON_SRC_RECORD_ROWS_H
