#include "python/src/capture_tables.h"

#include <pybind11/numpy.h>

#include <vector>

#include "capture_pass/capture_stats.h"
#include "capture_pass/clock_sink.h"
#include "capture_pass/dump_pass.h"
#include "python/src/capture_lists.h"
#include "python/src/python_source.h"
#include "python/src/row_dtype.h"
#include "python/src/table_array.h"
#include "python/src/table_sink.h"

namespace py = pybind11;

namespace pyproto {

namespace {

// With the GIL held: {type: rows} for the types that have rows. Leaves the tables empty.
py::dict release_tables(TableSink &sink) {
  py::dict arrays;
  for (unsigned type = 0; type < 256; ++type) {
    if (GrowingTable *table = sink.table(static_cast<uint8_t>(type))) {
      arrays[py::int_(type)] = release_table(*table, row_dtype(type, sink.which()));
    }
  }
  return arrays;
}

}  // namespace

py::tuple read_capture(const py::handle &source, const ReadOptions &options) {
  PythonSource in(source);
  std::optional<capture_pass::PacketClock> clock;
  if (options.clock) clock.emplace(*options.clock);
  capture_pass::ClockSteps steps;
  TableSink sink(options.keep, options.keep_malformed, options.recover, clock ? &*clock : nullptr,
                 clock ? &steps : nullptr);
  capture_pass::PassTotals totals;
  {
    const py::gil_scoped_release released;
    if (clock) {
      capture_pass::ClockSink timed(*clock, sink, {}, &steps);
      totals = capture_pass::dump_pass(in.bytes(), options.recover, timed);
    } else {
      totals = capture_pass::dump_pass(in.bytes(), options.recover, sink);
    }
  }
  if (totals.read_failed) in.raise_read_error();
  const capture_pass::CaptureStats stats = sink.stats().stats(totals, options.gap);
  const py::array gaps =
      gap_array(stats.clock ? stats.clock->gaps.gaps : std::vector<capture_pass::Gap>{});
  return py::make_tuple(release_tables(sink), malformed_array(sink.malformed(), sink.which()),
                        error_array(sink.errors(), sink.which().time), gaps,
                        py::str(capture_pass::stats_json(stats)));
}

}  // namespace pyproto
