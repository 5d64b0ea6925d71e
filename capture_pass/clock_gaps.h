// clock_gaps.h - the steps of a clock through a capture, and the dropouts among them: steps
// longer than a threshold, by default five times the median step.
#ifndef CAPTURE_PASS_CLOCK_GAPS_H
#define CAPTURE_PASS_CLOCK_GAPS_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "packet_clock.h"

namespace capdump {

// The default threshold of a dropout, in median steps.
inline constexpr double kGapMedians = 5;

// A step of the clock longer than the threshold.
struct Gap {
  uint64_t offset;  // of the clock packet that ends it
  double start;     // the time of the clock packet before it, in seconds
  double seconds;   // its length
};

struct GapSummary {
  uint64_t steps = 0;      // steps between clock packets, resets not among them
  double median_step = 0;  // seconds; 0 without steps
  double threshold = 0;    // seconds: a longer step is a gap
  double covered = 0;      // seconds in gaps
  std::vector<Gap> gaps;   // in capture order
};

// Records each step of a clock: 12 bytes a clock packet.
class ClockSteps {
 public:
  // Takes the tick of the clock packet at offset, as PacketClock::observe gave it.
  void add(const ClockTick &tick, uint64_t offset);

  // The gaps of the clock spec: steps longer than threshold seconds, or than kGapMedians median
  // steps without one.
  GapSummary summary(std::optional<double> threshold, const ClockSpec &spec) const;

 private:
  // A reset in steps_: no forward step reaches half of a 32-bit clock's range.
  static constexpr uint32_t kReset = UINT32_MAX;

  uint64_t first_ = 0;             // the unwrapped count at the first clock packet
  std::vector<uint32_t> steps_;    // ticks of each step, or kReset
  std::vector<uint64_t> offsets_;  // of the clock packet ending each step
};

// The n longest gaps of summary, longest first (the earlier of equal ones first).
std::vector<Gap> longest_gaps(const GapSummary &summary, std::size_t n);

}  // namespace capdump

#endif  // CAPTURE_PASS_CLOCK_GAPS_H
