// capdump's --report page (ReportSink over the dump pass, then report_page) of arbitrary
// captures, in process with memory input.
//
// Input: a flags byte (bit 0: recovery, bit 1: the clock 1.uword:ms); a byte s for at most
// 2 * (1 + s) slices (255: capdump's 512; fewer make a smaller page sooner, through the same
// code); a count byte and that many bytes naming the capture in the page's title; then the
// capture as fuzz_capture reads it.
//
// Promises checked:
// - the page is within the page budget;
// - it scans as well formed (page_scan.h): the tags it writes nest, and no number in it is
//   written as NaN or infinity;
// - it carries the --stats JSON and the charts' JSON, each of which parses: the stats as an
//   object, the charts as an object or null.
#include <nlohmann/json.hpp>

#include <string>

#include "capdump/src/report_page.h"
#include "capdump/src/report_sink.h"
#include "fuzz/fuzz_capture.h"
#include "fuzz/fuzz_pass.h"
#include "fuzz/page_scan.h"
#include "testing/memory_io.h"

namespace {

capdump::CaptureReport report_of(const Bytes &capture, bool recover, bool timed,
                                 std::size_t slices) {
  PassClock clock(timed);
  capdump::ReportSink sink(recover, clock.clock(), clock.steps(), slices);
  MemorySource in(capture.data(), capture.size());
  return sink.finish(clock.run(in, recover, sink));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  FuzzInput input(data, size);
  const uint8_t flags = input.byte();
  const std::size_t slices = 2 * (1 + std::size_t{input.byte()});
  std::string name(input.byte(), '\0');
  for (char &c : name) c = static_cast<char>(input.byte());
  const Bytes capture = fuzz_capture(input);

  const std::string page =
      capdump::report_page(report_of(capture, (flags & 1) != 0, (flags & 2) != 0, slices), name);
  FUZZ_REQUIRE(page.size() <= capdump::kReportPageBudget);
  const PageScan scan = scan_page(page);
  FUZZ_REQUIRE(scan.well_formed && scan.json_scripts.size() == 2);
  const auto stats = nlohmann::json::parse(scan.json_scripts[0], nullptr, false);
  const auto charts = nlohmann::json::parse(scan.json_scripts[1], nullptr, false);
  FUZZ_REQUIRE(stats.is_object() && (charts.is_object() || charts.is_null()));
  return 0;
}
