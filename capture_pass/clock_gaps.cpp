#include "clock_gaps.h"

#include <algorithm>

namespace capdump {

void ClockSteps::add(const ClockTick &tick, uint64_t offset) {
  if (tick.first) {
    first_ = tick.ticks;
    return;
  }
  steps_.push_back(tick.reset ? kReset : tick.steps);
  offsets_.push_back(offset);
}

GapSummary ClockSteps::summary(std::optional<double> threshold, const ClockSpec &spec) const {
  GapSummary summary;
  std::vector<uint32_t> forward;
  forward.reserve(steps_.size());
  std::copy_if(steps_.begin(), steps_.end(), std::back_inserter(forward),
               [](uint32_t step) { return step != kReset; });
  summary.steps = forward.size();
  if (!forward.empty()) {
    const std::size_t half = forward.size() / 2;
    const auto upper = forward.begin() + static_cast<std::ptrdiff_t>(half);
    std::nth_element(forward.begin(), upper, forward.end());
    uint64_t twice_median = uint64_t{*upper} * 2;
    if (forward.size() % 2 == 0)
      twice_median = uint64_t{*upper} + *std::max_element(forward.begin(), upper);
    summary.median_step = spec.seconds(twice_median) / 2;
  }
  summary.threshold = threshold ? *threshold : kGapMedians * summary.median_step;
  uint64_t ticks = first_;
  for (std::size_t i = 0; i < steps_.size(); ++i) {
    if (steps_[i] == kReset) continue;
    const double start = spec.seconds(ticks);
    ticks += steps_[i];
    const double seconds = spec.seconds(steps_[i]);
    if (seconds > summary.threshold) {
      summary.gaps.push_back({offsets_[i], start, seconds});
      summary.covered += seconds;
    }
  }
  return summary;
}

std::vector<Gap> longest_gaps(const GapSummary &summary, std::size_t n) {
  std::vector<Gap> longest = summary.gaps;
  std::stable_sort(longest.begin(), longest.end(),
                   [](const Gap &a, const Gap &b) { return a.seconds > b.seconds; });
  if (longest.size() > n) longest.resize(n);
  return longest;
}

}  // namespace capdump
