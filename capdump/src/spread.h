// spread.h - the spread of a series' values: minimum, maximum, sum and count, which merge
// exactly, so a slice's spread is that of its halves.
#ifndef CAPDUMP_SRC_SPREAD_H
#define CAPDUMP_SRC_SPREAD_H

#include <cmath>
#include <cstdint>
#include <limits>

namespace capdump {

// The spread of a series' values within one slice; NaN and infinite values are left out, and
// counted.
struct Spread {
  double min = std::numeric_limits<double>::infinity();
  double max = -std::numeric_limits<double>::infinity();
  double sum = 0;
  uint64_t count = 0;
  uint64_t left_out = 0;  // NaN and infinite values

  void add(double value) {  // inline: it runs for every number of every packet
    if (!std::isfinite(value)) {
      ++left_out;
      return;
    }
    min = value < min ? value : min;
    max = value > max ? value : max;
    sum += value;
    ++count;
  }
  void merge(const Spread &other) {
    min = other.min < min ? other.min : min;
    max = other.max > max ? other.max : max;
    sum += other.sum;
    count += other.count;
    left_out += other.left_out;
  }
  // The mean; when the sum of values near the largest doubles overflowed, the middle of the
  // spread instead, so that it stays finite.
  double mean() const {
    const double mean = sum / static_cast<double>(count);
    return std::isfinite(mean) ? mean : min / 2 + max / 2;
  }
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_SPREAD_H
