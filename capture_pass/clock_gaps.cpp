#include "capture_pass/clock_gaps.h"

#include <algorithm>

namespace capture_pass {

uint64_t ClockSteps::twice_median() const {
  uint64_t counted = 0;
  for (const uint64_t count : counts_) counted += count;
  const uint64_t steps = counted + large_.size();
  if (steps == 0) return 0;
  std::vector<uint32_t> large = large_;
  // The step at rank k (from 0) of all forward steps, smallest first.
  const auto at_rank = [&](uint64_t k) -> uint64_t {
    if (k < counted) {
      uint32_t size = 0;
      for (uint64_t below = counts_[0]; below <= k; below += counts_[++size]) {
      }
      return size;
    }
    const auto nth = large.begin() + static_cast<std::ptrdiff_t>(k - counted);
    std::nth_element(large.begin(), nth, large.end());
    return *nth;
  };
  const uint64_t upper = at_rank(steps / 2);
  return steps % 2 == 1 ? 2 * upper : upper + at_rank(steps / 2 - 1);
}

GapSummary ClockSteps::summary(std::optional<double> threshold, const NamedClock &named) const {
  GapSummary summary;
  summary.steps = large_.size();
  for (const uint64_t count : counts_) summary.steps += count;
  summary.median_step = named.seconds(twice_median()) / 2;
  summary.threshold = threshold ? *threshold : kGapMedians * summary.median_step;
  // The longest step that is no gap, in ticks, so that steps compare as counts.
  const double limit = std::min(summary.threshold / named.seconds_per_tick, double{UINT32_MAX});
  uint64_t kept = limit > 0 ? static_cast<uint64_t>(limit) : 0;
  while (kept > 0 && named.seconds(kept) > summary.threshold) --kept;
  while (kept < UINT32_MAX && named.seconds(kept + 1) <= summary.threshold) ++kept;
  uint64_t ticks = first_;
  uint64_t offset = first_offset_;
  uint64_t covered = 0;
  auto aside = aside_.begin();
  for (const uint32_t word : packed_) {
    uint32_t step = word >> 16;
    offset += word & 0xFFFF;
    if (word == kAside) {
      step = aside->step;
      offset = aside->offset;
      ++aside;
      if (step == kReset) continue;
    }
    ticks += step;
    if (step > kept) {
      summary.gaps.push_back({offset, named.seconds(ticks - step), named.seconds(step)});
      covered += step;
    }
  }
  summary.covered = named.seconds(covered);
  return summary;
}

std::vector<Gap> longest_gaps(const GapSummary &summary, std::size_t n) {
  std::vector<Gap> longest = summary.gaps;
  std::stable_sort(longest.begin(), longest.end(),
                   [](const Gap &a, const Gap &b) { return a.seconds > b.seconds; });
  if (longest.size() > n) longest.resize(n);
  return longest;
}

}  // namespace capture_pass
