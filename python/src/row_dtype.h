// row_dtype.h - the NumPy dtype of the rows record_rows.h writes.
#ifndef PYTHON_SRC_ROW_DTYPE_H
#define PYTHON_SRC_ROW_DTYPE_H

#include <pybind11/numpy.h>

#include "python/src/record_rows.h"

namespace pyproto {

// With the GIL held: the dtype of the rows of type, 0 to 255, with the head columns which.
pybind11::dtype row_dtype(unsigned type, HeadColumns which);

}  // namespace pyproto

#endif  // PYTHON_SRC_ROW_DTYPE_H
