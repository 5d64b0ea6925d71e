#include "capture_pass/clock_sink.h"

namespace capture_pass {

ClockSink::ClockSink(PacketClock &clock, EventSink &next, TimeRange range, ClockSteps *steps)
    : clock_(clock), next_(next), range_(range), steps_(steps) {}

bool ClockSink::in_bounds() const {
  if (!clock_.started()) return false;
  const double now = clock_.now();
  return (!range_.from || now >= *range_.from) && (!range_.to || now < *range_.to);
}

void ClockSink::rejected(const FrameEvent &event, const uint8_t *packet) {
  if (in_range()) next_.rejected(event, packet);
}

void ClockSink::unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) {
  if (in_range()) next_.unfinished(offset, sync_pair, received);
}

}  // namespace capture_pass
