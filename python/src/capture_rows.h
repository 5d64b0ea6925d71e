// capture_rows.h - the rows of the lists a read gives besides the packets by type: the packets
// that are not exact, and the rejected and cut-off packets. Needs no Python: capture_lists.h
// makes them NumPy arrays.
#ifndef PYTHON_SRC_CAPTURE_ROWS_H
#define PYTHON_SRC_CAPTURE_ROWS_H

#include <protolib/packet_form.hpp>

#include <cstddef>
#include <cstdint>
#include <iterator>

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

}  // namespace pyproto

#endif  // PYTHON_SRC_CAPTURE_ROWS_H
