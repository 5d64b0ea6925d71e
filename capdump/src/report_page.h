// report_page.h - the --report page: a capture's facts, where along it the packets, the
// rejections and the noise lie, and each catalogue field's values along it; one self-contained
// HTML page (inline style and SVG, nothing fetched) whose size depends on the number of slices
// and types, not on the capture's size.
#ifndef CAPDUMP_SRC_REPORT_PAGE_H
#define CAPDUMP_SRC_REPORT_PAGE_H

#include <cstddef>
#include <string>
#include <string_view>

#include "capdump/src/report_sink.h"

namespace capdump {

// The largest page written: past it, the slices are merged pairwise until the page fits.
inline constexpr std::size_t kReportPageBudget = std::size_t{1900} * 1024;

// The page of report; capture_name names the capture in its title. The page carries the
// --stats JSON of the same pass in <script type="application/json" id="capdump-stats">.
std::string report_page(const CaptureReport &report, std::string_view capture_name);

}  // namespace capdump

#endif  // CAPDUMP_SRC_REPORT_PAGE_H
