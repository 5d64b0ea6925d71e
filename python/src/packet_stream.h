// packet_stream.h - the packets of a capture a block at a time, for captures too large to hold
// and for pipes and sockets: each packet the library's framer accepts, with its offset.
#ifndef PYTHON_SRC_PACKET_STREAM_H
#define PYTHON_SRC_PACKET_STREAM_H

#include <pybind11/pybind11.h>

#include <vector>

#include "byte_window.h"
#include "frame_scanner.h"
#include "python_source.h"

namespace pyproto {

class PacketStream {
 public:
  // Opens source as PythonSource does.
  explicit PacketStream(const pybind11::handle &source);

  // Reads the next block (framing it with the GIL released) and returns the packets accepted in
  // it as (offset, type, fields) tuples (packet_fields.h), in order; None at the end of input.
  // Raises the source's errors.
  pybind11::object next_block();

 private:
  PythonSource in_;
  capdump::ByteWindow window_;
  capdump::FrameScanner scanner_;
  std::vector<capdump::FrameEvent> events_;
};

}  // namespace pyproto

#endif  // PYTHON_SRC_PACKET_STREAM_H
