#include "capdump/src/report_page.h"

#include <algorithm>
#include <bitset>
#include <limits>
#include <vector>

#include "capdump/src/field_series.h"
#include "capdump/src/report_facts.h"
#include "capdump/src/svg_chart.h"

namespace capdump {

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
constexpr int kPageWidth = 1120;

constexpr std::string_view kStyle = R"(
body{font:14px/1.45 system-ui,sans-serif;color:#1f2328;background:#fff;margin:0}
main{max-width:1140px;margin:0 auto;padding:16px 20px 40px}
summary{cursor:pointer}details{margin-top:8px;max-width:900px}
h1{font-size:22px;margin:8px 0 2px}h2{font-size:17px;margin:26px 0 6px;border-bottom:1px solid #d0d7de}
h3{font-size:15px;margin:18px 0 4px}p{margin:4px 0}.note{color:#57606a}
.facts{display:flex;flex-wrap:wrap;gap:28px;align-items:flex-start}
table{border-collapse:collapse}td,th{padding:2px 10px;border-bottom:1px solid #eaeef2;text-align:right}
th{text-align:left;font-weight:600}td:first-child{text-align:left}
.grid{display:flex;flex-wrap:wrap;gap:4px 12px}
.chart text{font-size:11px;fill:#57606a}.chart .title{font-size:12px;font-weight:600;fill:#1f2328}
.chart .unit{font-size:11px}.axis{stroke:#8c959f}.rule{stroke:#eaeef2}
path{fill:none;stroke-width:1.5;stroke-linejoin:round;stroke-linecap:round;vector-effect:non-scaling-stroke}
.mean{stroke:#1f5fa8;color:#1f5fa8}.band{fill:#1f5fa8;fill-opacity:.18;stroke:none}
.packets{stroke:#2f6f44}.noise{stroke:#6e7781}.r0{stroke:#b3261e;color:#b3261e}
.r1{stroke:#c26a00;color:#c26a00}.r2{stroke:#6f42c1;color:#6f42c1}
.recovered{stroke:#0f7b70;color:#0f7b70;stroke-dasharray:4 3}
.key{display:inline-block;width:18px;height:0;border-top:2px solid;vertical-align:middle;margin:0 4px 0 12px}
.key.band{height:10px;border:none;background:#1f5fa8;opacity:.3}
)";

std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

ChartAxes axes(const CaptureReport &report, std::string title, std::string unit, int width,
               int height) {
  return ChartAxes{std::move(title),
                   std::move(unit),
                   report.timeline.width(),
                   std::max<std::size_t>(report.slices, 1),
                   width,
                   height};
}

// Each slice's count as read by the_count.
template <typename Count>
SliceValues per_slice(const CaptureReport &report, Count the_count) {
  SliceValues values(std::max<std::size_t>(report.slices, 1), 0);
  for (std::size_t i = 0; i < report.slices; ++i) {
    values[i] = static_cast<double>(the_count(report.timeline.counts(i)));
  }
  return values;
}

std::string key(std::string_view css_class, std::string_view label) {
  return "<span class=\"key " + std::string(css_class) + "\"></span>" + std::string(label);
}

std::string timeline(const CaptureReport &report) {
  const capture_pass::CaptureStats &stats = report.stats;
  std::string html =
      "<h2>Along the capture</h2><p class=\"note\">The capture cut into " +
      std::to_string(report.slices) + " slices of " +
      byte_size(static_cast<double>(report.timeline.width())) +
      "; a packet counts in the slice where its sync pair lies. A last slice only partly "
      "filled is left out of the packets by type.</p>";
  std::vector<SliceValues> reasons;
  for (std::size_t i = 0; i < std::size(capture_pass::kReasonNames); ++i) {
    reasons.push_back(per_slice(report, [i](const SliceCounts &c) { return c.rejected[i]; }));
  }
  if (stats.recovered) {
    reasons.push_back(per_slice(report, [](const SliceCounts &c) { return c.recovered; }));
  }
  SvgChart damage(axes(report, "Rejected packets per slice", "packets", kPageWidth, 190),
                  value_range(reasons));
  std::string legend = "<p>";
  for (std::size_t i = 0; i < reasons.size(); ++i) {
    const bool recovered = i == std::size(capture_pass::kReasonNames);
    std::string css = "recovered";
    if (!recovered) css.assign("r").append(std::to_string(i));
    damage.line(reasons[i], css);
    legend += key(css, recovered ? "recovered packets" : capture_pass::kReasonNames[i].label);
  }
  html += damage.finish() + legend + "</p>";
  const SliceValues noise = per_slice(report, [](const SliceCounts &c) { return c.noise_bytes; });
  SvgChart noise_chart(axes(report, "Noise bytes per slice", "bytes", kPageWidth, 150),
                       value_range({noise, {0}}));
  noise_chart.line(noise, "noise");
  html += noise_chart.finish() + "<h3>Packets per slice, by type</h3><div class=\"grid\">";
  const auto strip = [&](const std::string &title, auto the_count) {
    SliceValues packets = per_slice(report, the_count);
    if (stats.bytes_read % report.timeline.width() != 0) packets.back() = kNoValue;
    SvgChart chart(axes(report, title, "packets", kPageWidth / 2 - 6, 120),
                   value_range({packets, {0}}));
    chart.line(packets, "packets");
    html += chart.finish();
  };
  const std::bitset<256> alone = types_shown_alone(stats);
  bool others = false;
  for (std::size_t type = 0; type < 256; ++type) {
    if (alone[type]) {
      strip("type " + std::to_string(type),
            [type](const SliceCounts &c) { return c.packets[type]; });
    } else {
      others = others || stats.packets_by_type[type] > 0;
    }
  }
  if (others) {
    strip("other types", [&alone](const SliceCounts &c) {
      uint64_t n = 0;
      for (std::size_t type = 0; type < 256; ++type) {
        if (!alone[type]) n += c.packets[type];
      }
      return n;
    });
  }
  if (alone.none() && !others) html += "<p>No packets.</p>";
  return html + "</div>";
}

std::string field_chart(const CaptureReport &report, std::size_t series) {
  SliceValues low(report.slices, kNoValue);
  SliceValues high(report.slices, kNoValue);
  SliceValues mean(report.slices, kNoValue);
  for (std::size_t i = 0; i < report.slices; ++i) {
    const Spread &spread = report.timeline.spread(i, series);
    if (spread.count == 0) continue;
    low[i] = spread.min;
    high[i] = spread.max;
    mean[i] = spread.sum / static_cast<double>(spread.count);
  }
  SvgChart chart(
      axes(report, escaped(catalogue_series()[series].field), "value", kPageWidth / 3 - 8, 140),
      value_range({low, high}));
  chart.band(low, high, "band");
  chart.line(mean, "mean");
  return chart.finish();
}

std::string fields(const CaptureReport &report) {
  std::string html =
      "<h2>Field values along the capture</h2><p>" + key("band", "minimum to maximum in a slice") +
      key("mean", "mean") +
      "; an array's elements and the entries' same field share a chart; a gap: no intact "
      "packet of the type in the slice.</p>";
  const std::vector<SeriesName> &series = catalogue_series();
  bool any = false;
  for (std::size_t first = 0; first < series.size();) {
    const uint8_t type = series[first].type;
    std::size_t end = first;
    while (end < series.size() && series[end].type == type) ++end;
    if (report.stats.packets_by_type[type] > 0) {
      any = true;
      html += "<h3>Type " + std::to_string(type) + "</h3><div class=\"grid\">";
      for (std::size_t s = first; s < end; ++s) html += field_chart(report, s);
      html += "</div>";
    }
    first = end;
  }
  return any ? html : html + "<p>No packets of a catalogue type.</p>";
}

}  // namespace

std::string report_page(const CaptureReport &report, std::string_view capture_name) {
  const std::string name = escaped(capture_name);
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + name +
      " - capture report</title><style>" + std::string(kStyle) +
      "</style></head><body><main><h1>Capture report: " + name + "</h1><p class=\"note\">" +
      byte_size(static_cast<double>(report.stats.bytes_read)) + " read by capdump " CAPDUMP_VERSION;
  if (report.stats.recovered) html += " with recovery";
  html += ".</p>" + report_facts(report.stats);
  html += report.slices > 0 ? timeline(report) + fields(report)
                            : std::string("<p>The capture is empty: nothing lies along it.</p>");
  html += "</main><script type=\"application/json\" id=\"capdump-stats\">" +
          capture_pass::stats_json(report.stats) + "</script></body></html>\n";
  return html;
}

}  // namespace capdump
