#include "capdump/src/svg_chart.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "capdump/src/axis_ticks.h"

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

// The x axis' ticks and labels for the whole span, in the page's script's form.
std::string x_ticks(const XAxis &x, int plot_width, int bottom) {
  const AxisUnit unit = axis_unit(x.time, x.extent);
  const double span = x.extent / unit.size;
  const double step = nice_step(span, std::max(2, plot_width / 110));
  std::string out = "<g class=\"xaxis\">";
  for (const double at : ticks(0, span, step)) {
    const int px = kLeft + static_cast<int>(std::lround(at / span * plot_width));
    out += rule(px, bottom, px, bottom + 4, "axis");
    out += text(px, bottom + 15, "middle", tick_label(at, step));
  }
  out += text(kLeft + plot_width / 2, bottom + 29, "middle",
              std::string(x.time ? "time from start of recording (" : "position in capture (") +
                  std::string(unit.name) + ")");
  return out + "</g>";
}

// The largest value a value axis reaches: beyond it the axis' span and its round ends would
// overflow. Farther values lie on the chart's edge.
constexpr double kFarthest = 1e307;

}  // namespace

SvgChart::SvgChart(const XAxis &x, std::size_t index, ChartLook look, ValueRange range)
    : x_(x),
      index_(index),
      look_(std::move(look)),
      low_(std::clamp(range.low, -kFarthest, kFarthest)),
      high_(std::clamp(range.high, -kFarthest, kFarthest)) {
  if (high_ <= low_) {
    if (low_ == 0) {
      high_ = 1;  // counts that are all zero lie on the axis
    } else {
      low_ -= std::fabs(low_) * 0.01;
      high_ += std::fabs(high_) * 0.01;
    }
  }
  // Widen to round values, so the top and bottom ticks are round.
  const double step = nice_step(high_ - low_, 4);
  low_ = std::floor(low_ / step) * step;
  high_ = std::ceil(high_ / step) * step;
}

long SvgChart::plot_y(double value) const {
  value = std::clamp(value, low_, high_);
  return std::lround((high_ - value) / (high_ - low_) * static_cast<double>(kPlotHeight));
}

void SvgChart::add_data(std::string_view name, const SliceValues &values) {
  if (data_.size() > 1) data_ += ',';
  data_ += "{\"name\":\"" + std::string(name) + "\",\"values\":[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) data_ += ',';
    data_ += std::isnan(values[i]) ? std::string("null") : json_number(values[i]);
  }
  data_ += "]}";
}

void SvgChart::line(const SliceValues &values, std::string_view css_class, std::string_view name) {
  std::string path;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (std::isnan(values[i])) continue;
    const bool starts = i == 0 || std::isnan(values[i - 1]);
    append_point(path, i, plot_y(values[i]), starts);
    const bool alone = starts && (i + 1 == values.size() || std::isnan(values[i + 1]));
    if (alone) path += " h0";  // a round cap shows a lone point as a dot
  }
  plot_ += "<path class=\"" + std::string(css_class) + "\" d=\"" + path + "\"/>";
  add_data(name, values);
}

void SvgChart::band(const SliceValues &low, const SliceValues &high, std::string_view css_class,
                    std::string_view name) {
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
  add_data(std::string(name) + " min", low);
  add_data(std::string(name) + " max", high);
}

std::string SvgChart::finish() const {
  const int plot_width = look_.width - kLeft - kRight;
  const int plot_height = look_.height - kTop - kBottom;
  const int bottom = kTop + plot_height;
  const std::string extent = exact_number(x_.extent);
  std::string svg = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" data-chart=\"" +
                    std::to_string(index_) + "\" data-x0=\"0\" data-x1=\"" + extent +
                    "\" width=\"" + std::to_string(look_.width) + "\" height=\"" +
                    std::to_string(look_.height) + "\" viewBox=\"0 0 " +
                    std::to_string(look_.width) + " " + std::to_string(look_.height) + "\">";
  svg += "<text class=\"title\" x=\"" + std::to_string(kLeft) + "\" y=\"14\">" + look_.title +
         "</text>";
  const double step = nice_step(high_ - low_, 4);
  const double magnitude = std::max(std::fabs(low_), std::fabs(high_));
  for (const double at : ticks(low_, high_, step)) {
    const int y = kTop + static_cast<int>(std::lround((high_ - at) / (high_ - low_) * plot_height));
    svg += rule(kLeft, y, kLeft + plot_width, y, "rule");
    svg += text(kLeft - 5, y + 4, "end", value_label(at, step, magnitude));
  }
  svg += x_ticks(x_, plot_width, bottom);
  svg += "<text class=\"unit\" transform=\"translate(12 " + std::to_string(kTop + plot_height / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">" + look_.unit + "</text>";
  const double coords = 2 * x_.extent / x_.slice_width;  // the plot's width in its coordinates
  svg += "<svg class=\"plot\" x=\"" + std::to_string(kLeft) + "\" y=\"" + std::to_string(kTop) +
         "\" width=\"" + std::to_string(plot_width) + "\" height=\"" + std::to_string(plot_height) +
         "\" viewBox=\"0 0 " + json_number(coords) + " " + std::to_string(kPlotHeight) +
         "\" preserveAspectRatio=\"none\">";
  for (const AxisSpan &span : x_.shaded) {
    svg += "<rect class=\"dropout\" x=\"" + json_number(2 * span.start / x_.slice_width) +
           "\" y=\"0\" width=\"" + json_number(2 * span.length / x_.slice_width) + "\" height=\"" +
           std::to_string(kPlotHeight) + "\"/>";
  }
  svg += plot_ + "</svg>";
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
  const AxisUnit unit = axis_unit(false, bytes);
  const double figure = bytes / unit.size;
  return format(figure == std::floor(figure) ? "%.0f" : "%.1f", figure) + " " +
         std::string(unit.name);
}

std::string json_number(double value) {
  char text[32];  // as "%.6g" writes it, without printf's cost: a page writes many thousands
  return std::string(
      text, std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6).ptr);
}

std::string exact_number(double value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

}  // namespace capdump
