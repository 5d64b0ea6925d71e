#include "capdump/src/report_page.h"

#include <algorithm>
#include <cstdio>

#include "capdump/src/report_charts.h"
#include "capdump/src/report_facts.h"
#include "capdump/src/report_script.h"

namespace capdump {

namespace {

constexpr std::string_view kStyle = R"(
body{font:14px/1.45 system-ui,sans-serif;color:#1f2328;background:#fff;margin:0}
main{max-width:1140px;margin:0 auto;padding:16px 20px 40px}
summary{cursor:pointer}details{margin-top:8px;max-width:900px}
h1{font-size:22px;margin:8px 0 2px}h2{font-size:17px;margin:26px 0 6px;border-bottom:1px solid #d0d7de}
h3{font-size:15px;margin:18px 0 4px}p{margin:4px 0}.note{color:#57606a}
.facts{display:flex;flex-wrap:wrap;gap:28px;align-items:flex-start}
table{border-collapse:collapse}td,th{padding:2px 10px;border-bottom:1px solid #eaeef2;text-align:right}
th{text-align:left;font-weight:600}td:first-child{text-align:left}
.grid{display:flex;flex-wrap:wrap;gap:4px 12px}figure{margin:0}figcaption{font-size:12px;max-width:540px}
ul.constant{margin:2px 0;padding-left:18px;columns:3;font-size:13px}
.chart{user-select:none}.chart text{font-size:11px;fill:#57606a}.chart .title{font-size:12px;font-weight:600;fill:#1f2328}
.chart .unit{font-size:11px}.axis{stroke:#8c959f}.rule{stroke:#eaeef2}
path{fill:none;stroke-width:1.5;stroke-linejoin:round;stroke-linecap:round;vector-effect:non-scaling-stroke}
.dropout{fill:#d0d7de;fill-opacity:.6}.selection{fill:#1f5fa8;fill-opacity:.12}
.cursor{stroke:#57606a;stroke-width:1;vector-effect:non-scaling-stroke}
.mean{stroke:#1f5fa8;color:#1f5fa8}.band{fill:#1f5fa8;fill-opacity:.18;stroke:none}
.noise{stroke:#6e7781}.r0{stroke:#b3261e;color:#b3261e}
.r1{stroke:#c26a00;color:#c26a00}.r2{stroke:#6f42c1;color:#6f42c1}
.recovered{stroke:#0f7b70;color:#0f7b70}.dash{stroke-dasharray:4 3}
.c0{stroke:#1f77b4;color:#1f77b4}.c1{stroke:#ff7f0e;color:#ff7f0e}.c2{stroke:#2ca02c;color:#2ca02c}
.c3{stroke:#d62728;color:#d62728}.c4{stroke:#9467bd;color:#9467bd}.c5{stroke:#8c564b;color:#8c564b}
.c6{stroke:#e377c2;color:#e377c2}.c7{stroke:#7f7f7f;color:#7f7f7f}.c8{stroke:#bcbd22;color:#bcbd22}
.c9{stroke:#17becf;color:#17becf}.c10{stroke:#393b79;color:#393b79}.c11{stroke:#637939;color:#637939}
.c12{stroke:#8c6d31;color:#8c6d31}.c13{stroke:#843c39;color:#843c39}.c14{stroke:#7b4173;color:#7b4173}
.c15{stroke:#3182bd;color:#3182bd}
.key{display:inline-block;width:18px;height:0;border-top:2px solid;vertical-align:middle;margin:0 4px 0 12px}
.key.band{height:10px;border:none;background:#1f5fa8;opacity:.3}
#readout{position:absolute;pointer-events:none;background:#fff;border:1px solid #8c959f;border-radius:4px;
padding:4px 8px;font-size:12px;box-shadow:0 2px 6px rgba(0,0,0,.15);white-space:nowrap}
)";

std::string format_seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  return text;
}

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

// The first damaged packets as a table.
std::string damaged_table(const CaptureReport &report) {
  std::string html = "<h2>Damaged packets</h2>";
  if (report.damaged_count == 0) return html + "<p>None: every packet was accepted and exact.</p>";
  html += "<p class=\"note\">Rejected packets and listed packets that are not exact: the first " +
          std::to_string(report.damaged.size()) + " of " + std::to_string(report.damaged_count) +
          ", in the order met.</p><table class=\"damaged\"><tr><th>offset</th>";
  const bool timed = report.seconds_per_position.has_value();
  if (timed) html += "<th>time (s)</th>";
  html += "<th>type</th><th>length</th><th>reason</th></tr>";
  for (const DamagedPacket &packet : report.damaged) {
    html += "<tr><td>" + std::to_string(packet.offset) + "</td>";
    if (timed)
      html += "<td>" + (packet.time ? format_seconds(*packet.time) : std::string()) + "</td>";
    std::string reason(packet.reason);
    std::replace(reason.begin(), reason.end(), '_', ' ');
    html += "<td>" + std::to_string(packet.type) + "</td><td>" + std::to_string(packet.length) +
            "</td><td>" + reason + "</td></tr>";
  }
  return html + "</table>";
}

// The page of report as it stands.
std::string page_of(const CaptureReport &report, const std::string &name) {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + name +
      " - capture report</title><style>" + std::string(kStyle) +
      "</style></head><body><main><h1>Capture report: " + name + "</h1><p class=\"note\">" +
      byte_size(static_cast<double>(report.stats.bytes_read)) + " read by capdump " CAPDUMP_VERSION;
  if (report.stats.recovered) html += " with recovery";
  if (report.stats.clock) html += ", timed by the clock " + escaped(report.stats.clock->name);
  html += ".</p>" + report_facts(report.stats);
  std::string data = "null";
  if (report.slices > 0) {
    ReportCharts charts(report);
    html += charts.along_capture();  // first: the charts are numbered in page order
    html += charts.field_values();
    data = charts.data_json();
  } else {
    html += "<p>The capture is empty: nothing lies along it.</p>";
  }
  html += damaged_table(report);
  html +=
      "</main><div id=\"readout\" hidden></div><script type=\"application/json\" "
      "id=\"capdump-stats\">" +
      capture_pass::stats_json(report.stats) +
      "</script><script type=\"application/json\" id=\"capdump-charts\">" + data +
      "</script><script>" + std::string(kReportScript) + "</script></body></html>\n";
  return html;
}

}  // namespace

std::string report_page(const CaptureReport &report, std::string_view capture_name) {
  const std::string name = escaped(capture_name);
  std::string page = page_of(report, name);
  if (page.size() <= kReportPageBudget) return page;
  CaptureReport coarser = report;
  while (page.size() > kReportPageBudget && coarser.slices > 1) {
    coarser.timeline.merge_pairs();
    coarser.slices = (coarser.slices + 1) / 2;
    page = page_of(coarser, name);
  }
  return page;
}

}  // namespace capdump
