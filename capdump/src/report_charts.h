// report_charts.h - the charts of a --report page: rejected, recovered and noise along the
// capture, the packet rate of every type, and each catalogue field's values; all on one x axis
// (bytes, or time with a clock) with the clock's dropouts shaded, and their data for the page's
// script.
#ifndef CAPDUMP_SRC_REPORT_CHARTS_H
#define CAPDUMP_SRC_REPORT_CHARTS_H

#include <string>
#include <vector>

#include "capdump/src/field_series.h"
#include "capdump/src/report_sink.h"
#include "capdump/src/svg_chart.h"

namespace capdump {

// The dropouts shaded on a page at most: the longest ones.
inline constexpr std::size_t kShadedDropouts = 64;

// A line of a chart: its name in the legend and the read-out, its CSS class, its values.
struct NamedLine {
  std::string name;
  std::string css;
  SliceValues values;
};

class ReportCharts {
 public:
  // report must outlive this; report.slices more than 0.
  explicit ReportCharts(const CaptureReport &report);

  // The charts along the capture: rejected packets by reason, recovered packets, noise, the
  // packet rate by type; HTML.
  std::string along_capture();
  // A section per catalogue type with packets: a chart per group of series that vary, a note
  // for those that never change; HTML.
  std::string field_values();
  // The x axis and every chart's series so far, as the JSON object the page's script reads.
  std::string data_json() const;

 private:
  // A value per slice: count(slice) per second (with a clock) or per MiB of the slice's span.
  template <typename Count>
  SliceValues rate(Count count) const;
  // A chart of packet rates from 0 up, a line each, with its legend.
  std::string rate_chart(const std::string &title, int height, const std::vector<NamedLine> &lines);
  // The chart of group's series that vary, if any; a note on notes for each that does not.
  std::string field_chart(const SeriesGroup &group, std::string &notes);
  SvgChart chart(ChartLook look, ValueRange range) const {
    return SvgChart(x_, charts_.size(), std::move(look), range);
  }
  std::string add(const SvgChart &chart);

  const CaptureReport &report_;
  XAxis x_;
  std::string rate_unit_;            // "/s" or "/MiB"
  std::vector<std::string> charts_;  // each chart's data
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_REPORT_CHARTS_H
