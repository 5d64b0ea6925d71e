// axis_ticks.h - ticks at round values for the report's charts: steps of 1, 2 or 5 times a
// power of ten, x axis units that fit the span shown, and value labels with SI prefixes. The
// page's script follows the same rules when a chart is zoomed.
#ifndef CAPDUMP_SRC_AXIS_TICKS_H
#define CAPDUMP_SRC_AXIS_TICKS_H

#include <string>
#include <string_view>
#include <vector>

namespace capdump {

// The round step (1, 2 or 5 times a power of ten) that cuts span into about target intervals;
// span and target more than 0.
double nice_step(double span, double target);

// The multiples of step from low to high, both included when they are multiples.
std::vector<double> ticks(double low, double high, double step);

// The unit an x axis spanning span shows its values in.
struct AxisUnit {
  std::string_view name;  // "B", "KiB", "MiB", ... or "ms", "s", "min", "h"
  double size;            // in bytes or seconds
};
AxisUnit axis_unit(bool time, double span);

// value (a multiple of step, both in the unit) with the decimals step needs: "2.5", "40".
std::string tick_label(double value, double step);

// A value axis label: value with an SI prefix chosen by magnitude (the largest of the axis'
// values) from 10^4 on and below 10^-3, and the decimals step needs: "2500", "25k", "1.5M",
// "4µ"; outside the prefixes, "%.3g".
std::string value_label(double value, double step, double magnitude);

}  // namespace capdump

#endif  // CAPDUMP_SRC_AXIS_TICKS_H
