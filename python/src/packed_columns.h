// packed_columns.h - rows of NumPy structured arrays whose columns follow each other without
// padding (packed_row.h): handed a DtypeColumns, a table's description of its columns gives the
// table's dtype.
#ifndef PYTHON_SRC_PACKED_COLUMNS_H
#define PYTHON_SRC_PACKED_COLUMNS_H

#include <pybind11/numpy.h>

#include <protolib/catalogue.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

#include "python/src/packed_row.h"

namespace pyproto {

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
