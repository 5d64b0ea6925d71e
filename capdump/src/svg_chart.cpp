#include "capdump/src/svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace capdump {

namespace {

// The plot's own coordinates: slice i spans x from 2i to 2i + 2, values y from 0 to this.
constexpr long kPlotHeight = 1000;
// Room around the plot, in pixels, for the title, the labels and the axes' captions.
constexpr int kLeft = 64;
constexpr int kRight = 12;
constexpr int kTop = 22;
constexpr int kBottom = 34;

std::string format(const char *pattern, double value) {
  char text[40];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

// A value axis label of at most seven characters or so: millions and more to three figures
// with a suffix, whole numbers and numbers from 1000 on in full, others to three figures.
std::string value_label(double value) {
  static constexpr const char *kSuffixes[] = {"M", "G", "T", "P"};
  const double size = std::fabs(value);
  if (size >= 1e6) {
    std::size_t suffix = 0;
    double scaled = value / 1e6;
    while (std::fabs(scaled) >= 1000 && suffix + 1 < std::size(kSuffixes)) {
      scaled /= 1000;
      ++suffix;
    }
    return format("%.3g", scaled) + kSuffixes[suffix];
  }
  if (value == std::floor(value) || size >= 1000) return format("%.0f", value);
  return format("%.3g", value);
}

std::string text(int x, int y, std::string_view anchor, std::string_view content) {
  return "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" text-anchor=\"" +
         std::string(anchor) + "\">" + std::string(content) + "</text>";
}

std::string rule(int x1, int y1, int x2, int y2, std::string_view css_class) {
  return "<line class=\"" + std::string(css_class) + "\" x1=\"" + std::to_string(x1) + "\" y1=\"" +
         std::to_string(y1) + "\" x2=\"" + std::to_string(x2) + "\" y2=\"" + std::to_string(y2) +
         "\"/>";
}

// Appends the point of slice i at height y to a path, starting a new piece after a gap.
void append_point(std::string &path, std::size_t i, long y, bool starts) {
  path += starts ? "M" : " ";
  path += std::to_string(2 * i + 1);
  path += ' ';
  path += std::to_string(y);
}

}  // namespace

SvgChart::SvgChart(const ChartAxes &axes, ValueRange range)
    : axes_(axes), low_(range.low), high_(range.high) {
  if (high_ > low_) return;
  if (low_ == 0) {
    high_ = 1;  // counts that are all zero lie on the axis
  } else {
    low_ -= std::fabs(low_) * 0.01;
    high_ += std::fabs(high_) * 0.01;
  }
}

long SvgChart::plot_y(double value) const {
  return std::lround((high_ - value) / (high_ - low_) * static_cast<double>(kPlotHeight));
}

void SvgChart::line(const SliceValues &values, std::string_view css_class) {
  std::string path;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (std::isnan(values[i])) continue;
    const bool starts = i == 0 || std::isnan(values[i - 1]);
    append_point(path, i, plot_y(values[i]), starts);
    const bool alone = starts && (i + 1 == values.size() || std::isnan(values[i + 1]));
    if (alone) path += " h0";  // a round cap shows a lone point as a dot
  }
  plot_ += "<path class=\"" + std::string(css_class) + "\" d=\"" + path + "\"/>";
}

void SvgChart::band(const SliceValues &low, const SliceValues &high, std::string_view css_class) {
  std::string path;
  for (std::size_t first = 0; first < low.size();) {
    if (std::isnan(low[first])) {
      ++first;
      continue;
    }
    std::size_t end = first;
    while (end < low.size() && !std::isnan(low[end])) ++end;
    for (std::size_t i = first; i < end; ++i) append_point(path, i, plot_y(high[i]), i == first);
    for (std::size_t i = end; i-- > first;) append_point(path, i, plot_y(low[i]), false);
    path += "Z";
    first = end;
  }
  plot_ += "<path class=\"" + std::string(css_class) + "\" d=\"" + path + "\"/>";
}

std::string SvgChart::finish() {
  const int plot_width = axes_.width - kLeft - kRight;
  const int plot_height = axes_.height - kTop - kBottom;
  const int bottom = kTop + plot_height;
  std::string svg = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    std::to_string(axes_.width) + "\" height=\"" + std::to_string(axes_.height) +
                    "\" viewBox=\"0 0 " + std::to_string(axes_.width) + " " +
                    std::to_string(axes_.height) + "\">";
  svg += "<text class=\"title\" x=\"" + std::to_string(kLeft) + "\" y=\"14\">" + axes_.title +
         "</text>";
  for (int step = 0; step <= 2; ++step) {
    const int y = kTop + plot_height * step / 2;
    svg += rule(kLeft, y, kLeft + plot_width, y, "rule");
    svg += text(kLeft - 5, y + 4, "end", value_label(high_ - (high_ - low_) * step / 2));
  }
  const double extent = static_cast<double>(axes_.slice_width) * static_cast<double>(axes_.slices);
  const int intervals = plot_width < 500 ? 2 : 4;  // room for each position's label
  for (int step = 0; step <= intervals; ++step) {
    const int x = kLeft + plot_width * step / intervals;
    const char *anchor = step == 0 ? "start" : step == intervals ? "end" : "middle";
    svg += rule(x, bottom, x, bottom + 4, "axis");
    svg += text(x, bottom + 15, anchor, byte_size(extent * step / intervals));
  }
  svg += text(kLeft + plot_width / 2, bottom + 29, "middle", "position in capture (bytes)");
  svg += "<text class=\"unit\" transform=\"translate(12 " + std::to_string(kTop + plot_height / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">" + axes_.unit + "</text>";
  svg += "<svg x=\"" + std::to_string(kLeft) + "\" y=\"" + std::to_string(kTop) + "\" width=\"" +
         std::to_string(plot_width) + "\" height=\"" + std::to_string(plot_height) +
         "\" viewBox=\"0 0 " + std::to_string(2 * axes_.slices) + " " +
         std::to_string(kPlotHeight) + "\" preserveAspectRatio=\"none\">" + plot_ + "</svg>";
  svg += rule(kLeft, kTop, kLeft, bottom, "axis");
  svg += rule(kLeft, bottom, kLeft + plot_width, bottom, "axis");
  return svg + "</svg>";
}

ValueRange value_range(const std::vector<SliceValues> &values) {
  ValueRange range{std::numeric_limits<double>::infinity(),
                   -std::numeric_limits<double>::infinity()};
  for (const SliceValues &series : values) {
    for (const double value : series) {
      if (std::isnan(value)) continue;
      range.low = std::min(range.low, value);
      range.high = std::max(range.high, value);
    }
  }
  return range.low <= range.high ? range : ValueRange{0, 1};
}

std::string byte_size(double bytes) {
  static constexpr const char *kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB"};
  std::size_t unit = 0;
  while (bytes >= 1024 && unit + 1 < std::size(kUnits)) {
    bytes /= 1024;
    ++unit;
  }
  const std::string figure = format(bytes == std::floor(bytes) ? "%.0f" : "%.1f", bytes);
  return figure + " " + kUnits[unit];
}

}  // namespace capdump
