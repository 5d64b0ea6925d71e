// capture_lists.h - the lists a read gives besides the packets by type, as NumPy structured
// arrays: the packets that are not exact, the rejected and cut-off packets, and the clock's gaps.
#ifndef PYTHON_SRC_CAPTURE_LISTS_H
#define PYTHON_SRC_CAPTURE_LISTS_H

#include <pybind11/numpy.h>

#include <vector>

#include "capture_pass/clock_gaps.h"
#include "python/src/capture_rows.h"

namespace pyproto {

// With the GIL held: rows of offset (uint64), with which.time time (float64), type (uint8),
// length (uint8), form (form_name's), with which.recovered recovered (bool).
pybind11::array malformed_array(const std::vector<MalformedRow> &rows, HeadColumns which);

// With the GIL held: rows of offset (uint64), with timed time (float64), reason (capdump's
// "error" names, "unfinished" for a cut-off packet), type and length (int16).
pybind11::array error_array(const std::vector<ErrorRow> &rows, bool timed);

// With the GIL held: rows of offset (uint64, of the clock packet ending the gap), start and
// seconds (float64).
pybind11::array gap_array(const std::vector<capture_pass::Gap> &gaps);

}  // namespace pyproto

#endif  // PYTHON_SRC_CAPTURE_LISTS_H
