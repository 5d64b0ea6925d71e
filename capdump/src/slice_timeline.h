// slice_timeline.h - what a capture holds along its length, kept in a fixed number of slices of
// equal width (of bytes, or of clock ticks) whatever its size: when the capture outgrows them,
// neighbours merge pairwise and the width doubles, so memory stays bounded and the size need not be
// known in advance.
#ifndef CAPDUMP_SRC_SLICE_TIMELINE_H
#define CAPDUMP_SRC_SLICE_TIMELINE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "capdump/src/spread.h"
#include "capture_pass/reason_names.h"

namespace capdump {

// The counts of one slice, each packet counted where its sync pair lies.
struct SliceCounts {
  std::array<uint64_t, 256> packets{};  // listed packets by type, recovered ones included
  std::array<uint64_t, std::size(capture_pass::kReasonNames)> rejected{};  // as kReasonNames
  uint64_t recovered = 0;
  uint64_t noise_bytes = 0;  // noise bytes lying in the slice
  uint64_t bytes = 0;        // all bytes lying in the slice, noise among them

  void merge(const SliceCounts &other);
};

class SliceTimeline {
 public:
  // max_slices: even, at least 2; series: the spreads kept per slice.
  SliceTimeline(std::size_t max_slices, std::size_t series);

  // The slice holding position (a byte offset, or clock ticks from the start), after merging as
  // often as it takes to make room for it.
  std::size_t slice_of(uint64_t position);

  // Adds the bytes from begin up to end to the slices they lie in, and to their noise if noise.
  void add_bytes(uint64_t begin, uint64_t end, bool noise);

  SliceCounts &counts(std::size_t slice) { return counts_[slice]; }
  const SliceCounts &counts(std::size_t slice) const { return counts_[slice]; }
  Spread &spread(std::size_t slice, std::size_t series) {
    return spreads_[slice * series_ + series];
  }
  const Spread &spread(std::size_t slice, std::size_t series) const {
    return spreads_[slice * series_ + series];
  }

  // Positions per slice: a power of two.
  uint64_t width() const { return width_; }
  // Makes room for positions up to end and returns the slices they fill: at most max_slices,
  // and more than half of them once end is larger than max_slices.
  std::size_t fill(uint64_t end);
  // Merges neighbours pairwise, doubling the width.
  void merge_pairs();

 private:
  std::size_t max_slices_;
  std::size_t series_;
  uint64_t width_ = 1;
  std::vector<SliceCounts> counts_;
  std::vector<Spread> spreads_;  // slice by slice, series by series
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_SLICE_TIMELINE_H
