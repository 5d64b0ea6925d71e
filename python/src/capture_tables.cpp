#include "python/src/capture_tables.h"

#include <pybind11/numpy.h>

#include <array>
#include <cmath>
#include <vector>

#include "capture_pass/capture_stats.h"
#include "capture_pass/clock_sink.h"
#include "capture_pass/dump_pass.h"
#include "python/src/capture_lists.h"
#include "python/src/growing_table.h"
#include "python/src/python_source.h"
#include "python/src/record_rows.h"

namespace py = pybind11;

namespace pyproto {

namespace {

// The byte at from[at], or -1 when it lies past the received bytes.
int16_t received_byte(const uint8_t *from, std::size_t received, std::size_t at) {
  return at < received ? int16_t{from[at]} : int16_t{-1};
}

// Appends the packets of the kept types to their tables or the list of those not exact, and
// every error to a list, each with its time; counts everything for the stats.
class TableSink final : public capture_pass::EventSink {
 public:
  // clock and steps: as for StatsSink, null without a clock.
  TableSink(const ReadOptions &options, const capture_pass::PacketClock *clock,
            const capture_pass::ClockSteps *steps)
      : keep_(options.keep),
        keep_malformed_(options.keep_malformed),
        which_{clock != nullptr, options.recover},
        clock_(clock),
        stats_(options.recover, clock, steps) {}

  void packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
              bool recovered) override {
    stats_.packet(event, packet, recovered);
    const uint8_t type = packet[0];
    if (!keep_[type]) return;
    const protolib::PacketForm form = protolib::packet_form(packet);
    const bool exact = form == protolib::PacketForm::kExact;
    const double time = now();
    if (!exact) malformed_.push_back({event.offset, time, type, packet[1], form, recovered});
    if (exact || keep_malformed_) {
      write_row(table(type).append(), which_, {event.offset, time, packet[1], form, recovered},
                packet);
    }
  }
  void rejected(const capture_pass::FrameEvent &event, const uint8_t *packet) override {
    stats_.rejected(event, packet);
    errors_.push_back(
        {event.offset, now(), capture_pass::reason_index(event.reason), packet[0], packet[1]});
  }
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override {
    stats_.unfinished(offset, sync_pair, received);
    errors_.push_back({offset, now(), kUnfinished, received_byte(sync_pair, received, 2),
                       received_byte(sync_pair, received, 3)});
  }
  bool failed() const override { return false; }

  // With the GIL held: {type: rows} for the types that have rows. Leaves the tables empty.
  py::dict release_tables() {
    py::dict arrays;
    for (std::size_t type = 0; type < tables_.size(); ++type) {
      if (tables_[type]) {
        arrays[py::int_(type)] =
            tables_[type]->release(row_dtype(static_cast<unsigned>(type), which_));
      }
    }
    return arrays;
  }
  py::array malformed() const { return malformed_array(malformed_, which_); }
  py::array errors() const { return error_array(errors_, which_.time); }
  const capture_pass::StatsSink &stats() const { return stats_; }

 private:
  GrowingTable &table(uint8_t type) {
    std::optional<GrowingTable> &table = tables_[type];
    if (!table) table.emplace(row_size(type, which_));
    return *table;
  }
  // The time of the event being handed over: NaN before the clock's first packet.
  double now() const { return clock_ != nullptr && clock_->started() ? clock_->now() : NAN; }

  std::bitset<256> keep_;
  bool keep_malformed_;
  HeadColumns which_;
  const capture_pass::PacketClock *clock_;
  capture_pass::StatsSink stats_;
  std::array<std::optional<GrowingTable>, 256> tables_;
  std::vector<MalformedRow> malformed_;
  std::vector<ErrorRow> errors_;
};

}  // namespace

py::tuple read_capture(const py::handle &source, const ReadOptions &options) {
  PythonSource in(source);
  std::optional<capture_pass::PacketClock> clock;
  if (options.clock) clock.emplace(*options.clock);
  capture_pass::ClockSteps steps;
  TableSink sink(options, clock ? &*clock : nullptr, clock ? &steps : nullptr);
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
  return py::make_tuple(sink.release_tables(), sink.malformed(), sink.errors(), gaps,
                        py::str(capture_pass::stats_json(stats)));
}

}  // namespace pyproto
