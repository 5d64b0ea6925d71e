// clock_gaps.h - the steps of a clock through a capture, and the dropouts among them: steps
// longer than a threshold, by default five times the median step.
#ifndef CAPTURE_PASS_CLOCK_GAPS_H
#define CAPTURE_PASS_CLOCK_GAPS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "capture_pass/packet_clock.h"

namespace capture_pass {

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

// Records each step of a clock: 4 bytes a clock packet, its step and its distance from the clock
// packet before it packed in blocks that are never copied (larger ones, and resets, kept aside
// whole), and counts the steps by size for the median.
class ClockSteps {
 public:
  // Takes the tick of the clock packet at offset, as PacketClock::observe gave it.
  void add(const ClockTick &tick, uint64_t offset) {
    if (tick.first) {
      first_ = tick.ticks;
      first_offset_ = last_offset_ = offset;
      return;
    }
    const uint32_t step = tick.reset ? kReset : tick.steps;
    const uint64_t distance = offset - last_offset_;
    last_offset_ = offset;
    if (step < kPackedLimit && distance < kPackedLimit) {
      packed_.push_back(step << 16 | static_cast<uint32_t>(distance));
    } else {
      packed_.push_back(kAside);
      aside_.push_back({step, offset});
    }
    if (tick.reset) return;
    if (step < kCounted) {
      ++counts_[step];
    } else {
      large_.push_back(step);
    }
  }

  // The gaps of the clock named: steps longer than threshold seconds, or than kGapMedians median
  // steps without one.
  GapSummary summary(std::optional<double> threshold, const NamedClock &named) const;

 private:
  // A reset: no forward step reaches half of a 32-bit clock's range.
  static constexpr uint32_t kReset = UINT32_MAX;
  // Steps and distances below this are packed two to a 32-bit word.
  static constexpr uint32_t kPackedLimit = 0xFFFF;
  // A packed word that stands for the next step kept aside.
  static constexpr uint32_t kAside = UINT32_MAX;
  // Steps below this many ticks are counted by size; larger ones are kept in large_.
  static constexpr uint32_t kCounted = 4096;

  struct AsideStep {
    uint32_t step;    // or kReset
    uint64_t offset;  // of the clock packet ending it
  };

  // Twice the median of the forward steps, in ticks; 0 without one.
  uint64_t twice_median() const;

  uint64_t first_ = 0;  // the unwrapped count at the first clock packet
  uint64_t first_offset_ = 0;
  uint64_t last_offset_ = 0;
  std::deque<uint32_t> packed_;              // step << 16 | distance, or kAside
  std::vector<AsideStep> aside_;             // in order
  std::array<uint64_t, kCounted> counts_{};  // forward steps by size
  std::vector<uint32_t> large_;              // forward steps of kCounted ticks or more
};

// The n longest gaps of summary, longest first (the earlier of equal ones first).
std::vector<Gap> longest_gaps(const GapSummary &summary, std::size_t n);

}  // namespace capture_pass

#endif  // CAPTURE_PASS_CLOCK_GAPS_H
