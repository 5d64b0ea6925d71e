// packed_columns.h - rows of NumPy structured arrays whose columns follow each other without
// padding. A table's columns are described once, by a function that calls columns(name, value)
// for each column of a row in order; handed a DtypeColumns it gives the table's dtype, handed a
// ColumnBytes the row size, handed a RowWriter the row's bytes.
#ifndef PYTHON_SRC_PACKED_COLUMNS_H
#define PYTHON_SRC_PACKED_COLUMNS_H

#include <pybind11/numpy.h>

#include <protolib/catalogue.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <vector>

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

// With the GIL held: collects the dtype of the columns it is given. Arrays are sub-array fields,
// counted entries a sub-array of the capacity whose fields are the entry's.
class DtypeColumns {
 public:
  template <typename Value>
  void operator()(std::string_view name, const Value &) {
    using Element = std::remove_extent_t<Value>;
    if constexpr (std::is_array_v<Value>) {
      add(name, pybind11::dtype::of<Element>(), std::extent_v<Value>);
    } else {
      add(name, pybind11::dtype::of<Element>());
    }
  }
  void operator()(std::string_view name, Text text);
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view name, protolib::EntryList<Entry, Capacity, Count> list) {
    DtypeColumns entry;
    protolib::for_each_field(list.entries[0], entry);
    add(name, entry.dtype(), Capacity);
  }

  void add(std::string_view name, const pybind11::dtype &dtype);
  void add(std::string_view name, const pybind11::dtype &dtype, std::size_t length);
  pybind11::dtype dtype() const;

 private:
  pybind11::list fields_;
};

// With the GIL held: rows as a one-dimensional structured array, each row's columns as
// describe(columns, row) names them (the same columns for every row, a default Row included).
template <typename Row, typename Describe>
pybind11::array packed_array(const std::vector<Row> &rows, const Describe &describe) {
  DtypeColumns columns;
  describe(columns, Row{});
  const pybind11::dtype dtype = columns.dtype();
  pybind11::array array(dtype, {static_cast<pybind11::ssize_t>(rows.size())}, {});
  auto *out = static_cast<uint8_t *>(array.mutable_data());
  for (const Row &row : rows) {
    RowWriter writer(out);
    describe(writer, row);
    out += dtype.itemsize();
  }
  return array;
}

}  // namespace pyproto

#endif  // PYTHON_SRC_PACKED_COLUMNS_H
