// packed_row.h - rows whose columns follow each other without padding, as the Python package's
// structured arrays hold them. A table's columns are described once, by a function that calls
// columns(name, value) for each column of a row in order; handed a ColumnBytes it gives the row
// size, handed a RowWriter the row's bytes (and, with the interpreter, handed a DtypeColumns of
// packed_columns.h, the dtype). Needs no Python.
#ifndef PYTHON_SRC_PACKED_ROW_H
#define PYTHON_SRC_PACKED_ROW_H

#include <protolib/catalogue.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace pyproto {

// ASCII text in a column of width characters (NumPy's U<width>, four bytes a character). The
// text must fit.
struct Text {
  std::string_view text;
  std::size_t width;
};

// Copies each value it is given into the row in native byte order and moves past it: scalars,
// arrays, Text (padded with zero characters), and a record's counted entries, every entry up to
// the capacity.
class RowWriter {
 public:
  explicit RowWriter(uint8_t *out) : out_(out) {}
  uint8_t *end() const { return out_; }

  template <typename Value>
  void operator()(std::string_view, const Value &value) {
    std::memcpy(out_, &value, sizeof value);
    out_ += sizeof value;
  }
  void operator()(std::string_view, Text text);
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view, protolib::EntryList<Entry, Capacity, Count> list) {
    for (const Entry &entry : list.entries) protolib::for_each_field(entry, *this);
  }

 private:
  uint8_t *out_;
};

// Adds up the bytes of the columns it is given, as RowWriter writes them.
class ColumnBytes {
 public:
  std::size_t bytes = 0;

  template <typename Value>
  void operator()(std::string_view, const Value &) {
    bytes += sizeof(Value);
  }
  void operator()(std::string_view, Text text) { bytes += text.width * sizeof(uint32_t); }
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view, protolib::EntryList<Entry, Capacity, Count> list) {
    ColumnBytes entry;
    protolib::for_each_field(list.entries[0], entry);
    bytes += Capacity * entry.bytes;
  }
};

}  // namespace pyproto

#endif  // PYTHON_SRC_PACKED_ROW_H
