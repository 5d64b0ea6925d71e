#include "python/src/packet_stream.h"

#include <protolib/framer.h>

#include <cmath>

#include "python/src/packet_tuple.h"

namespace py = pybind11;

namespace pyproto {

namespace {

constexpr std::size_t kReadBlock = std::size_t{64} * 1024;
// The library's decoder accepts every length byte, and so does the stream.

// Holds Python's cyclic garbage collector off while a block's objects are made: they hold no
// cycles, and the collector would otherwise run every few hundred of them to find none.
class CollectorPaused {
 public:
  CollectorPaused() : was_on_(PyGC_Disable() != 0) {}
  ~CollectorPaused() {
    if (was_on_) PyGC_Enable();
  }
  CollectorPaused(const CollectorPaused &) = delete;
  CollectorPaused &operator=(const CollectorPaused &) = delete;

 private:
  bool was_on_;
};

}  // namespace

PacketStream::PacketStream(const py::handle &source,
                           const std::optional<capture_pass::NamedClock> &clock)
    : in_(source), window_(kReadBlock), scanner_(FRAMER_ACCEPT_EVERY_LENGTH) {
  if (clock) clock_.emplace(*clock);
}

py::object PacketStream::next_block() {
  std::ptrdiff_t n = 0;
  events_.clear();
  {
    const py::gil_scoped_release released;
    n = window_.refill(in_.bytes(), scanner_.frontier());
    if (n > 0) scanner_.scan(window_, events_);
  }
  if (n < 0) in_.raise_read_error();
  if (n == 0) return py::none();
  py::list packets;
  const CollectorPaused paused;
  for (const capture_pass::FrameEvent &event : events_) {
    if (event.reason != FRAMER_ACCEPTED) continue;
    const uint8_t *packet = window_.at(event.offset + 2);
    double time = NAN;
    if (clock_) {
      clock_->observe(packet);
      if (clock_->started()) time = clock_->now();
    }
    packets.append(packet_tuple(event.offset, packet, time));
  }
  return packets;
}

}  // namespace pyproto
