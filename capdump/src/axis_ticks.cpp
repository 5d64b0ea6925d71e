#include "capdump/src/axis_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace capdump {

namespace {

// The decimals a multiple of step needs, step shown in scale.
int decimals_for(double step) {
  return std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
}

std::string fixed(double value, int decimals) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string out = text;
  return out == "-0" ? "0" : out;
}

}  // namespace

double nice_step(double span, double target) {
  const double raw = span / target;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  const double norm = raw / magnitude;
  const double factor = norm < 1.5 ? 1 : norm < 3.5 ? 2 : norm < 7.5 ? 5 : 10;
  return factor * magnitude;
}

std::vector<double> ticks(double low, double high, double step) {
  std::vector<double> at;
  for (double n = std::ceil(low / step - 1e-9); n * step <= high + step * 1e-9; ++n)
    at.push_back(n * step + 0.0);  // + 0.0: no negative zero
  return at;
}

AxisUnit axis_unit(bool time, double span) {
  if (time) {
    if (span < 1) return {"ms", 1e-3};
    if (span < 120) return {"s", 1};
    if (span < 7200) return {"min", 60};
    return {"h", 3600};
  }
  static constexpr std::string_view kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB"};
  std::size_t unit = 0;
  double size = 1;
  while (span >= size * 1024 && unit + 1 < std::size(kUnits)) {
    size *= 1024;
    ++unit;
  }
  return {kUnits[unit], size};
}

std::string tick_label(double value, double step) {
  return fixed(value, decimals_for(step));
}

std::string value_label(double value, double step, double magnitude) {
  if (value == 0) return "0";
  static constexpr const char *kPrefixes[] = {"p", "n", "µ", "m", "", "k", "M", "G", "T", "P", "E"};
  constexpr int kNone = 4;  // the place of "" in kPrefixes
  // Plain figures from 0.001 to 9999: 0.25 and 2500 read better than 250m and 2.5k.
  const bool plain = magnitude == 0 || (magnitude >= 1e-3 && magnitude < 1e4);
  const int power = plain ? 0 : static_cast<int>(std::floor(std::log10(magnitude) / 3));
  if (power < -kNone || power > kNone + 2) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
  }
  const double scale = std::pow(1000.0, power);
  return fixed(value / scale, decimals_for(step / scale)) + kPrefixes[power + kNone];
}

}  // namespace capdump
