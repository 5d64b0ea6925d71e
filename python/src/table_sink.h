// table_sink.h - the events of one pass gathered as the Python package's read gives them: a
// table of rows (record_rows.h) for each kept type, the kept packets that are not exact, the
// rejected and cut-off packets, each with its time by the clock, and the --stats counts. Needs
// no Python: capture_tables.h turns what it gathered into NumPy arrays.
#ifndef PYTHON_SRC_TABLE_SINK_H
#define PYTHON_SRC_TABLE_SINK_H

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "capture_pass/capture_stats.h"
#include "capture_pass/dump_pass.h"
#include "capture_pass/packet_clock.h"
#include "python/src/capture_rows.h"
#include "python/src/growing_table.h"
#include "python/src/record_rows.h"

namespace pyproto {

// Appends the packets of the kept types to their tables or the list of those not exact, and
// every error to a list, each with its time; counts everything for the stats.
class TableSink final : public capture_pass::EventSink {
 public:
  // keep: the types whose packets are listed; keep_malformed: rows for the packets that are
  // not exact too; recover: the pass runs with recovery. clock and steps: as for StatsSink,
  // null without a clock.
  TableSink(const std::bitset<256> &keep, bool keep_malformed, bool recover,
            const capture_pass::PacketClock *clock, const capture_pass::ClockSteps *steps)
      : keep_(keep),
        keep_malformed_(keep_malformed),
        which_{clock != nullptr, recover},
        clock_(clock),
        stats_(recover, clock, steps) {}

  void packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
              bool recovered) override;
  void rejected(const capture_pass::FrameEvent &event, const uint8_t *packet) override;
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override;
  bool failed() const override { return false; }

  // The head columns of every table's rows.
  HeadColumns which() const { return which_; }
  // The rows of type, or null when it has none.
  GrowingTable *table(uint8_t type) { return tables_[type] ? &*tables_[type] : nullptr; }
  const std::vector<MalformedRow> &malformed() const { return malformed_; }
  const std::vector<ErrorRow> &errors() const { return errors_; }
  const capture_pass::StatsSink &stats() const { return stats_; }

 private:
  GrowingTable &table_made(uint8_t type);
  // The time of the event being handed over: NaN before the clock's first packet.
  double now() const;

  std::bitset<256> keep_;
  bool keep_malformed_;
  HeadColumns which_;
  const capture_pass::PacketClock *clock_;
  capture_pass::StatsSink stats_;
  std::array<std::optional<GrowingTable>, 256> tables_;
  std::vector<MalformedRow> malformed_;
  std::vector<ErrorRow> errors_;
};

}  // namespace pyproto

#endif  // PYTHON_SRC_TABLE_SINK_H
