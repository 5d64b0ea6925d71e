#include "capdump/src/report_charts.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <limits>

#include "capdump/src/axis_ticks.h"
#include "capdump/src/report_facts.h"
#include "capdump/src/spread.h"

namespace capdump {

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
constexpr int kPageWidth = 1120;
constexpr double kMiB = 1024.0 * 1024.0;
constexpr std::size_t kColours = 16;  // line colours c0 to c15; later lines dashed

std::string line_class(std::size_t line) {
  std::string css = "c";  // appended piece by piece: g++ -O3 warns falsely (-Wrestrict) on a
  css += std::to_string(line % kColours);  // chain of operator+ that starts with a literal
  if (line >= kColours) css += " dash";
  return css;
}

std::string key(std::string_view css_class, std::string_view label) {
  return "<span class=\"key " + std::string(css_class) + "\"></span>" + std::string(label);
}

// The clock's dropouts as spans from the recording's start, those closer than half a slice
// joined, the kShadedDropouts longest kept.
std::vector<AxisSpan> dropouts(const capture_pass::CaptureStats &stats, double slice_width) {
  std::vector<AxisSpan> spans;
  if (!stats.clock || !stats.clock->first) return spans;
  for (const capture_pass::Gap &gap : stats.clock->gaps.gaps) {
    const double start = gap.start - *stats.clock->first;
    if (!spans.empty() && start - (spans.back().start + spans.back().length) < slice_width / 2) {
      spans.back().length = start + gap.seconds - spans.back().start;
    } else {
      spans.push_back({start, gap.seconds});
    }
  }
  if (spans.size() > kShadedDropouts) {
    std::nth_element(spans.begin(), spans.begin() + kShadedDropouts, spans.end(),
                     [](const AxisSpan &a, const AxisSpan &b) { return a.length > b.length; });
    spans.resize(kShadedDropouts);
  }
  return spans;
}

}  // namespace

ReportCharts::ReportCharts(const CaptureReport &report) : report_(report) {
  const double per = report.seconds_per_position.value_or(1);
  x_.time = report.seconds_per_position.has_value();
  x_.slice_width = static_cast<double>(report.timeline.width()) * per;
  x_.extent = static_cast<double>(report.end) * per;
  if (x_.time) x_.shaded = dropouts(report.stats, x_.slice_width);
  rate_unit_ = x_.time ? "/s" : "/MiB";
}

template <typename Count>
SliceValues ReportCharts::rate(Count count) const {
  SliceValues values(report_.slices, 0);
  const uint64_t width = report_.timeline.width();
  for (std::size_t i = 0; i < report_.slices; ++i) {
    const uint64_t span = std::min<uint64_t>(width, report_.end - i * width);
    const double size = x_.time ? static_cast<double>(span) * *report_.seconds_per_position
                                : static_cast<double>(span) / kMiB;
    values[i] = static_cast<double>(count(report_.timeline.counts(i))) / size;
  }
  return values;
}

std::string ReportCharts::add(const SvgChart &chart) {
  charts_.push_back(chart.data());
  return chart.finish();
}

std::string ReportCharts::along_capture() {
  const capture_pass::CaptureStats &stats = report_.stats;
  // Time in the unit that fits a slice; sizes in the axes' unit, the one size unit of the page.
  const AxisUnit unit = axis_unit(x_.time, x_.time ? x_.slice_width : x_.extent);
  std::string html = "<h2>Along the " + std::string(x_.time ? "recording" : "capture") +
                     "</h2><p class=\"note\">Each point is one of " +
                     std::to_string(report_.slices) + " slices of " +
                     json_number(x_.slice_width / unit.size) + "&#160;" + std::string(unit.name) +
                     "; a packet counts where its sync pair lies" +
                     (x_.time ? ", at the time of the clock's latest packet" : "") +
                     (x_.shaded.empty() ? "" : "; shaded: the clock's dropouts") +
                     ". Drag across a chart to zoom, double-click to show all.</p>";
  if (x_.time && !(stats.clock && stats.clock->first)) {
    html += "<p>No exact packet of the clock's type came: every packet lies at time 0.</p>";
  }
  std::vector<NamedLine> reasons;
  for (std::size_t i = 0; i < std::size(capture_pass::kReasonNames); ++i) {
    if (stats.rejected_by_reason[i] == 0) continue;
    reasons.push_back({std::string(capture_pass::kReasonNames[i].label), "r" + std::to_string(i),
                       rate([i](const SliceCounts &c) { return c.rejected[i]; })});
  }
  html += reasons.empty() ? "<p>No packet was rejected.</p>"
                          : rate_chart("Rejected packets", 190, reasons);
  if (stats.recovered && *stats.recovered > 0) {
    html += rate_chart(
        "Packets found by recovery inside rejected bytes and noise", 150,
        {{"recovered", "recovered", rate([](const SliceCounts &c) { return c.recovered; })}});
  }
  SliceValues noise(report_.slices, kNoValue);
  for (std::size_t i = 0; i < report_.slices; ++i) {
    const SliceCounts &c = report_.timeline.counts(i);
    if (c.bytes > 0)
      noise[i] = 100.0 * static_cast<double>(c.noise_bytes) / static_cast<double>(c.bytes);
  }
  SvgChart noise_chart = chart({"Noise", "% of bytes", kPageWidth, 150}, value_range({noise, {0}}));
  noise_chart.line(noise, "noise", "noise %");
  html += add(noise_chart);

  const std::bitset<256> alone = types_shown_alone(stats);
  std::vector<NamedLine> types;
  bool others = false;
  for (std::size_t type = 0; type < 256; ++type) {
    if (alone[type]) {
      types.push_back({"type " + std::to_string(type), line_class(types.size()),
                       rate([type](const SliceCounts &c) { return c.packets[type]; })});
    }
    others = others || (stats.packets_by_type[type] > 0 && !alone[type]);
  }
  if (others) {
    types.push_back({"other types", line_class(types.size()), rate([&alone](const SliceCounts &c) {
                       uint64_t n = 0;
                       for (std::size_t type = 0; type < 256; ++type) {
                         if (!alone[type]) n += c.packets[type];
                       }
                       return n;
                     })});
  }
  return html + (types.empty() ? std::string("<p>No packets.</p>")
                               : rate_chart("Packet rate by type", 240, types));
}

std::string ReportCharts::rate_chart(const std::string &title, int height,
                                     const std::vector<NamedLine> &lines) {
  std::vector<SliceValues> all{{0}};
  all.reserve(lines.size() + 1);
  for (const NamedLine &line : lines) all.push_back(line.values);
  SvgChart plot = chart({title, "packets" + rate_unit_, kPageWidth, height}, value_range(all));
  std::string legend;
  for (const NamedLine &line : lines) {
    plot.line(line.values, line.css, line.name);
    legend += key(line.css, line.name);
  }
  return add(plot) + "<p>" + legend + "</p>";
}

std::string ReportCharts::field_chart(const SeriesGroup &group, std::string &notes) {
  std::vector<std::size_t> varying;
  for (const std::size_t s : group.series) {
    Spread all;
    for (std::size_t i = 0; i < report_.slices; ++i) all.merge(report_.timeline.spread(i, s));
    if (all.left_out > 0) {
      notes += "<li><code>" + catalogue_series()[s].field +
               "</code>: " + std::to_string(all.left_out) + " NaN or infinite values left out</li>";
    }
    if (all.count == 0) continue;
    if (all.min < all.max) {
      varying.push_back(s);
    } else {
      notes += "<li><code>" + catalogue_series()[s].field + "</code>: " + json_number(all.min) +
               " throughout</li>";
    }
  }
  if (varying.empty()) return "";
  const auto values = [&](std::size_t s, auto read) {
    SliceValues out(report_.slices, kNoValue);
    for (std::size_t i = 0; i < report_.slices; ++i) {
      const Spread &spread = report_.timeline.spread(i, s);
      if (spread.count > 0) out[i] = read(spread);
    }
    return out;
  };
  const auto mean = [](const Spread &s) { return s.mean(); };
  std::string legend;
  if (group.scalar) {
    const SliceValues low = values(varying[0], [](const Spread &s) { return s.min; });
    const SliceValues high = values(varying[0], [](const Spread &s) { return s.max; });
    SvgChart plot =
        chart({group.title, "value", kPageWidth / 3 - 8, 150}, value_range({low, high}));
    plot.band(low, high, "band", group.title);
    plot.line(values(varying[0], mean), "mean", group.title + " mean");
    return "<figure>" + add(plot) + "</figure>";
  }
  std::vector<SliceValues> lines;
  lines.reserve(varying.size());
  for (const std::size_t s : varying) lines.push_back(values(s, mean));
  SvgChart plot = chart({group.title, "mean", kPageWidth / 2 - 8, 180}, value_range(lines));
  for (std::size_t line = 0; line < lines.size(); ++line) {
    const std::string &name = catalogue_series()[varying[line]].field;
    plot.line(lines[line], line_class(line), name);
    legend += key(line_class(line), name);
  }
  return "<figure>" + add(plot) + "<figcaption>" + legend + "</figcaption></figure>";
}

std::string ReportCharts::field_values() {
  std::string html =
      "<h2>Field values</h2><p>Exact packets only. " + key("band", "minimum to maximum") +
      key("mean", "mean") +
      " of a scalar field in a slice; an array's elements and the counted entries' fields one "
      "line each (the mean in a slice); a gap: no exact packet of the type in the slice.</p>";
  bool any = false;
  const std::vector<SeriesGroup> &groups = catalogue_groups();
  for (std::size_t first = 0; first < groups.size();) {
    const uint8_t type = groups[first].type;
    std::size_t end = first;
    while (end < groups.size() && groups[end].type == type) ++end;
    if (report_.stats.packets_by_type[type] > 0) {
      any = true;
      std::string charts;
      std::string notes;
      for (std::size_t g = first; g < end; ++g) charts += field_chart(groups[g], notes);
      html += "<h3>Type " + std::to_string(type) + "</h3>";
      if (!notes.empty()) html += "<ul class=\"constant\">" + notes + "</ul>";
      html += charts.empty() ? std::string("<p class=\"note\">No field varies.</p>")
                             : "<div class=\"grid\">" + charts + "</div>";
    }
    first = end;
  }
  return any ? html : html + "<p>No packets of a catalogue type.</p>";
}

std::string ReportCharts::data_json() const {
  std::string json = "{\"x\":{\"time\":" + std::string(x_.time ? "true" : "false") +
                     ",\"slice\":" + exact_number(x_.slice_width) +
                     ",\"extent\":" + exact_number(x_.extent) + "},\"charts\":[";
  for (std::size_t i = 0; i < charts_.size(); ++i) json += (i > 0 ? "," : "") + charts_[i];
  return json + "]}";
}

}  // namespace capdump
