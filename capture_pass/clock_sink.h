// clock_sink.h - a pass's packets timed by a clock the user names, and selected by their time:
// each packet moves the clock before it is handed on, so the sinks after it read every event's
// time from the clock (which they may hold before this sink exists).
#ifndef CAPTURE_PASS_CLOCK_SINK_H
#define CAPTURE_PASS_CLOCK_SINK_H

#include <cstddef>
#include <cstdint>
#include <optional>

#include "capture_pass/clock_gaps.h"
#include "capture_pass/dump_pass.h"
#include "capture_pass/packet_clock.h"

namespace capture_pass {

// Times in the clock's seconds, as packets show them: from inclusive, to exclusive.
struct TimeRange {
  std::optional<double> from;
  std::optional<double> to;
  bool any() const { return from || to; }
};

class ClockSink final : public EventSink {
 public:
  // Moves clock with each packet, then hands to next what lies in range (everything when the
  // range is open; with a bound, nothing before the first clock packet). steps, when given,
  // records each step of the clock. clock and steps must outlive the sink.
  ClockSink(PacketClock &clock, EventSink &next, TimeRange range = {}, ClockSteps *steps = nullptr);

  void packet(const FrameEvent &event, const uint8_t *packet, bool recovered) override {
    const std::optional<ClockTick> tick = clock_.observe(packet);
    if (tick && steps_ != nullptr) steps_->add(*tick, event.offset);
    if (in_range()) next_.packet(event, packet, recovered);
  }
  void rejected(const FrameEvent &event, const uint8_t *packet) override;
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override;
  bool failed() const override { return next_.failed(); }

 private:
  bool in_range() const { return !range_.any() || in_bounds(); }
  // in_range() when the range has a bound.
  bool in_bounds() const;

  PacketClock &clock_;
  EventSink &next_;
  TimeRange range_;
  ClockSteps *steps_;
};

}  // namespace capture_pass

#endif  // CAPTURE_PASS_CLOCK_SINK_H
