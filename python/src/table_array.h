// table_array.h - a GrowingTable's rows handed to NumPy as one array, without a copy.
#ifndef PYTHON_SRC_TABLE_ARRAY_H
#define PYTHON_SRC_TABLE_ARRAY_H

#include <pybind11/numpy.h>

#include "python/src/growing_table.h"

namespace pyproto {

// With the GIL held: the rows of table as a one-dimensional array of dtype, whose itemsize must
// be the row size. The array owns the memory from then on; the table is left empty.
pybind11::array release_table(GrowingTable &table, const pybind11::dtype &dtype);

}  // namespace pyproto

#endif  // PYTHON_SRC_TABLE_ARRAY_H
