// capture_lists.h - the lists a read gives besides the packets by type, as NumPy structured
// arrays: the packets that are not exact, the rejected and cut-off packets, and the clock's gaps.
#ifndef PYTHON_SRC_CAPTURE_LISTS_H
#define PYTHON_SRC_CAPTURE_LISTS_H

#include <pybind11/numpy.h>

#include <protolib/packet_form.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "capture_pass/clock_gaps.h"
#include "capture_pass/reason_names.h"
#include "python/src/record_rows.h"

namespace pyproto {

// A packet whose payload is not exactly its type's layout.
struct MalformedRow {
  uint64_t offset = 0;
  double time = 0;  // NaN before the clock's first packet
  uint8_t type = 0;
  uint8_t length = 0;
  protolib::PacketForm form = protolib::PacketForm::kUnknown;
  bool recovered = false;
};

// The reason of an error row past capdump's rejection reasons: a packet cut off at the end.
inline constexpr std::size_t kUnfinished = std::size(capture_pass::kReasonNames);

// A rejected packet, or the packet cut off at the end.
struct ErrorRow {
  uint64_t offset = 0;
  double time = 0;         // NaN before the clock's first packet
  std::size_t reason = 0;  // an index of kReasonNames, or kUnfinished
  int16_t type = -1;       // -1 when not received
  int16_t length = -1;     // -1 when not received
};

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
