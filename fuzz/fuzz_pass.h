// fuzz_pass.h - capdump's dump pass as the fuzz targets run it, timed or not by one clock, and
// the promise of its --stats bytes.
#ifndef PROTOLIB_FUZZ_FUZZ_PASS_H
#define PROTOLIB_FUZZ_FUZZ_PASS_H

#include <cstddef>
#include <optional>

#include "capture_pass/capture_stats.h"
#include "capture_pass/clock_sink.h"
#include "capture_pass/dump_pass.h"
#include "capture_pass/packet_clock.h"

// The clock 1.uword:ms (type 1's 16-bit uword, which wraps and steps back often in random
// bytes) when the pass is timed, and nothing when not.
class PassClock {
 public:
  explicit PassClock(bool timed) {
    static const capture_pass::NamedClock kClock =
        capture_pass::parse_clock("1.uword:ms").clock.value();
    if (timed) clock_.emplace(kClock);
  }

  // The clock and the record of its steps, for the sinks that show or count them; null when
  // the pass is not timed.
  const capture_pass::PacketClock *clock() const { return clock_ ? &*clock_ : nullptr; }
  capture_pass::ClockSteps *steps() { return clock_ ? &steps_ : nullptr; }

  // Runs the pass over in, handing its events to sink through the clock when there is one.
  capture_pass::PassTotals run(io::ByteSource &in, bool recover, capture_pass::EventSink &sink) {
    if (!clock_) return capture_pass::dump_pass(in, recover, sink);
    capture_pass::ClockSink clocked(*clock_, sink, {}, &steps_);
    return capture_pass::dump_pass(in, recover, clocked);
  }

 private:
  std::optional<capture_pass::PacketClock> clock_;
  capture_pass::ClockSteps steps_;
};

// The --stats bytes (in packets, in rejected packets, noise, unfinished) add up to the bytes
// read, which are the capture's.
inline bool stats_add_up(const capture_pass::CaptureStats &stats, std::size_t capture_size) {
  const uint64_t unfinished = stats.unfinished ? stats.unfinished->received : 0;
  return stats.bytes_read == capture_size &&
         stats.packet_bytes + stats.rejected_bytes + stats.noise_bytes + unfinished ==
             stats.bytes_read;
}

#endif  // PROTOLIB_FUZZ_FUZZ_PASS_H
