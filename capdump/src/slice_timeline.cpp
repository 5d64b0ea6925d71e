#include "capdump/src/slice_timeline.h"

#include <algorithm>
#include <cmath>

namespace capdump {

void SliceCounts::merge(const SliceCounts &other) {
  for (std::size_t i = 0; i < packets.size(); ++i) packets[i] += other.packets[i];
  for (std::size_t i = 0; i < rejected.size(); ++i) rejected[i] += other.rejected[i];
  recovered += other.recovered;
  noise_bytes += other.noise_bytes;
  bytes += other.bytes;
}

SliceTimeline::SliceTimeline(std::size_t max_slices, std::size_t series)
    : max_slices_(max_slices),
      series_(series),
      counts_(max_slices),
      spreads_(max_slices * series) {}

std::size_t SliceTimeline::slice_of(uint64_t position) {
  while (position / width_ >= max_slices_) merge_pairs();
  return static_cast<std::size_t>(position / width_);
}

void SliceTimeline::add_bytes(uint64_t begin, uint64_t end, bool noise) {
  if (begin >= end) return;
  slice_of(end - 1);
  for (uint64_t at = begin; at < end;) {
    const uint64_t slice_end = (at / width_ + 1) * width_;
    const uint64_t stop = std::min(end, slice_end);
    SliceCounts &slice = counts_[static_cast<std::size_t>(at / width_)];
    slice.bytes += stop - at;
    if (noise) slice.noise_bytes += stop - at;
    at = stop;
  }
}

std::size_t SliceTimeline::fill(uint64_t end) {
  return end == 0 ? 0 : slice_of(end - 1) + 1;
}

void SliceTimeline::merge_pairs() {
  const std::size_t half = max_slices_ / 2;
  for (std::size_t to = 0; to < half; ++to) {
    SliceCounts merged = counts_[2 * to];
    merged.merge(counts_[2 * to + 1]);
    counts_[to] = merged;
    for (std::size_t s = 0; s < series_; ++s) {
      Spread spread = spreads_[2 * to * series_ + s];
      spread.merge(spreads_[(2 * to + 1) * series_ + s]);
      spreads_[to * series_ + s] = spread;
    }
  }
  std::fill(counts_.begin() + static_cast<std::ptrdiff_t>(half), counts_.end(), SliceCounts{});
  std::fill(spreads_.begin() + static_cast<std::ptrdiff_t>(half * series_), spreads_.end(),
            Spread{});
  width_ *= 2;
}

}  // namespace capdump
