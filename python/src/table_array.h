// table_array.h - a GrowingTable's rows handed to NumPy as one array, without a copy.
#ifndef PYTHON_SRC_TABLE_ARRAY_H
#define PYTHON_SRC_TABLE_ARRAY_H

#include <pybind11/numpy.h>

#include <vector>

#include "python/src/growing_table.h"

namespace pyproto {

// With the GIL held: the rows of table as an array of dtype shaped (rows, *row_shape): one row of
// row_shape's items, whose itemsize times their count must be the row size (by default one item
// a row). The array owns the memory from then on; the table is left empty.
pybind11::array release_table(GrowingTable &table, const pybind11::dtype &dtype,
                              const std::vector<pybind11::ssize_t> &row_shape = {});

}  // namespace pyproto

#endif  // PYTHON_SRC_TABLE_ARRAY_H
