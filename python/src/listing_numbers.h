// listing_numbers.h - the numbers of dumpten's or dumptwo's lines for a capture, found by the
// same run: the same ring, decoder and fresh flags, with numbers kept instead of text.
#ifndef PYTHON_SRC_LISTING_NUMBERS_H
#define PYTHON_SRC_LISTING_NUMBERS_H

#include <pybind11/numpy.h>

#include <string>
#include <vector>

namespace pyproto {

// An int64 array of shape (lines, 42) for listed_type 10 (dumpten) or (lines, 24) for 2
// (dumptwo), read from source (see PythonSource) with the GIL released. The rows are written
// where the array keeps them, so the memory held is the array's (growing_table.h). Raises
// ValueError for another type and the source's errors.
pybind11::array listing_numbers(const pybind11::handle &source, int listed_type);

// The names of listing_numbers' columns for listed_type: "1.uword", "10.words[0]", "12.fresh".
// Raises ValueError for another type.
std::vector<std::string> listing_columns(int listed_type);

}  // namespace pyproto

#endif  // PYTHON_SRC_LISTING_NUMBERS_H
