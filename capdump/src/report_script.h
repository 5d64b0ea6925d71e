// report_script.h - the --report page's own script, inline and fetching nothing: drag across a
// chart to zoom every chart to the same x range, double-click to show the whole again, hover to
// read the x value and each series' value in the slice under the pointer. The page shows every
// chart without it.
#ifndef CAPDUMP_SRC_REPORT_SCRIPT_H
#define CAPDUMP_SRC_REPORT_SCRIPT_H

#include <string_view>

namespace capdump {

// Reads the JSON in <script id="capdump-charts">: {"x": {"time", "slice", "extent"}, "charts":
// [[{"name", "values"}...]...]}, chart i being <svg class="chart" data-chart="i">.
extern const std::string_view kReportScript;

}  // namespace capdump

#endif  // CAPDUMP_SRC_REPORT_SCRIPT_H
