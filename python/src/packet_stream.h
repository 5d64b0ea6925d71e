// packet_stream.h - the packets of a capture a block at a time, for captures too large to hold
// and for pipes and sockets: each packet the library's framer accepts, with its offset, its form
// and, with a clock, its time.
#ifndef PYTHON_SRC_PACKET_STREAM_H
#define PYTHON_SRC_PACKET_STREAM_H

#include <pybind11/pybind11.h>

#include <optional>
#include <vector>

#include "capture_pass/byte_window.h"
#include "capture_pass/frame_scanner.h"
#include "capture_pass/packet_clock.h"
#include "python/src/python_source.h"

namespace pyproto {

class PacketStream {
 public:
  // Opens source as PythonSource does; times the packets by clock, when given.
  PacketStream(const pybind11::handle &source,
               const std::optional<capture_pass::NamedClock> &clock);

  // Reads the next block (framing it with the GIL released) and returns the packets accepted in
  // it as Packet tuples (packet_tuple.h), in order; None at the end of input. Raises the
  // source's errors.
  pybind11::object next_block();

 private:
  PythonSource in_;
  capture_pass::ByteWindow window_;
  capture_pass::FrameScanner scanner_;
  std::vector<capture_pass::FrameEvent> events_;
  std::optional<capture_pass::PacketClock> clock_;
};

}  // namespace pyproto

#endif  // PYTHON_SRC_PACKET_STREAM_H
