// svg_chart.h - a chart along a capture as inline SVG: the slices on the x axis, shared by every
// chart of a page (bytes from the capture's start, or seconds from the recording's), ticks at
// round values on both axes, and the series drawn as one path each, so a chart stays small
// whatever the number of slices. Each chart also gives its series' values as JSON for the
// page's script, which zooms and reads them off.
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

// A stretch of the x axis: from start, length long.
struct AxisSpan {
  double start;
  double length;
};

// The x axis every chart of a page shares.
struct XAxis {
  bool time;                     // seconds from the start of the recording; else bytes
  double slice_width;            // seconds or bytes a slice spans
  double extent;                 // seconds or bytes the axis spans, more than 0
  std::vector<AxisSpan> shaded;  // dropouts, drawn on every chart
};

struct ChartLook {
  std::string title;  // above the plot, HTML
  std::string unit;   // beside the value axis, HTML
  int width;          // of the whole chart in pixels
  int height;
};

class SvgChart {
 public:
  // The chart numbered index on its page. range: the values the plot spans; a single value gets
  // a range around it, or from 0 to 1 when it is 0.
  SvgChart(const XAxis &x, std::size_t index, ChartLook look, ValueRange range);

  // A line through the slices' values, in the CSS class css_class, named name (plain text).
  void line(const SliceValues &values, std::string_view css_class, std::string_view name);
  // A filled band from low to high in each slice, its edges named name + " min" and " max".
  void band(const SliceValues &low, const SliceValues &high, std::string_view css_class,
            std::string_view name);

  // The chart as an <svg> element.
  std::string finish() const;
  // Its series as a JSON array of {"name", "values"}, null where a slice has no value.
  std::string data() const { return data_ + "]"; }

 private:
  // A value as a height in the plot's coordinates: 0 at high_, kPlotHeight at low_.
  long plot_y(double value) const;
  void add_data(std::string_view name, const SliceValues &values);

  const XAxis &x_;
  std::size_t index_;
  ChartLook look_;
  double low_;
  double high_;
  std::string plot_;  // the series' paths
  std::string data_ = "[";
};

// The smallest and the largest of values; 0 to 1 when values hold no number.
ValueRange value_range(const std::vector<SliceValues> &values);

// A byte count as a short figure with a binary unit: "0 B", "512 B", "1.5 KiB", "128 MiB".
std::string byte_size(double bytes);

// A value in at most six significant figures, as JSON: "12.5", "-3e+07".
std::string json_number(double value);

// A value in the shortest form that reads back as the same double.
std::string exact_number(double value);

}  // namespace capdump

#endif  // CAPDUMP_SRC_SVG_CHART_H
