// svg_chart.h - a chart along a capture as inline SVG: the slices on the x axis, labelled with
// their position in the capture in bytes, a value axis labelled with its unit, and the series
// drawn as one path each, so a chart stays small whatever the number of slices.
#ifndef CAPDUMP_SRC_SVG_CHART_H
#define CAPDUMP_SRC_SVG_CHART_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace capdump {

// A value per slice; NaN where the slice has none, which leaves a gap.
using SliceValues = std::vector<double>;

struct ValueRange {
  double low;
  double high;
};

struct ChartAxes {
  std::string title;     // above the plot
  std::string unit;      // beside the value axis
  uint64_t slice_width;  // bytes per slice
  std::size_t slices;    // at least 1
  int width;             // of the whole chart in pixels
  int height;
};

class SvgChart {
 public:
  // range: the values the plot spans; a single value gets a range around it, or from 0 to 1
  // when it is 0.
  SvgChart(const ChartAxes &axes, ValueRange range);

  // A line through the slices' values, in the CSS class css_class.
  void line(const SliceValues &values, std::string_view css_class);
  // A filled band from low to high in each slice, in the CSS class css_class.
  void band(const SliceValues &low, const SliceValues &high, std::string_view css_class);

  // The chart as an <svg> element.
  std::string finish();

 private:
  // A value as a height in the plot's coordinates: 0 at high_, kPlotHeight at low_.
  long plot_y(double value) const;

  ChartAxes axes_;
  double low_;
  double high_;
  std::string plot_;  // the series' paths
};

// The smallest and the largest of values; 0 to 1 when values hold no number.
ValueRange value_range(const std::vector<SliceValues> &values);

// A byte count as a short figure with a binary unit: "0 B", "512 B", "1.5 KiB", "128 MiB".
std::string byte_size(double bytes);

}  // namespace capdump

#endif  // CAPDUMP_SRC_SVG_CHART_H
