// report_sink.h - the events of a pass gathered for the --report page: the --stats summary,
// counted by the same StatsSink, the same counts slice by slice along the capture (by byte
// position, or with a clock by time from its first packet) with the spread of each catalogue
// series' values per slice, and the first of the damaged packets.
#ifndef CAPDUMP_SRC_REPORT_SINK_H
#define CAPDUMP_SRC_REPORT_SINK_H

#include <cstddef>
#include <cstdint>

#include <optional>
#include <string_view>
#include <vector>

#include "capdump/src/slice_timeline.h"
#include "capture_pass/capture_stats.h"
#include "capture_pass/dump_pass.h"

namespace capdump {

// The slices of a report page unless told otherwise.
inline constexpr std::size_t kReportSlices = 512;
// The damaged packets a report lists.
inline constexpr std::size_t kErrorRows = 100;

// A packet the standard framing rejected, or a listed one that is not exact.
struct DamagedPacket {
  uint64_t offset;             // of its sync pair
  std::optional<double> time;  // seconds from the clock's first packet; none before it
  uint8_t type;                // its type and length bytes as received
  uint8_t length;
  std::string_view reason;  // the rejection reason's label, or the packet's form
};

struct CaptureReport {
  capture_pass::CaptureStats stats;  // what --stats prints for the same pass
  SliceTimeline timeline;            // spreads indexed as catalogue_series()
  std::size_t slices = 0;            // the slices the capture fills
  // With a clock: seconds a timeline position stands for (positions count clock ticks from the
  // first clock packet). Without, positions are byte offsets.
  std::optional<double> seconds_per_position;
  uint64_t end = 0;                    // the position after the last one the capture reaches
  std::vector<DamagedPacket> damaged;  // the first kErrorRows, in the order met
  uint64_t damaged_count = 0;          // all of them
};

class ReportSink final : public capture_pass::EventSink {
 public:
  // recovery: the pass runs with recovery. clock and steps: as for StatsSink; with a clock, the
  // slices follow its time. max_slices: even, at least 2.
  explicit ReportSink(bool recovery, const capture_pass::PacketClock *clock = nullptr,
                      const capture_pass::ClockSteps *steps = nullptr,
                      std::size_t max_slices = kReportSlices);

  void packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
              bool recovered) override;
  void rejected(const capture_pass::FrameEvent &event, const uint8_t *packet) override;
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override;
  bool failed() const override { return false; }

  // The report of the pass that ended with totals, gaps as StatsSink::stats finds them; the
  // sink is spent after it.
  CaptureReport finish(const capture_pass::PassTotals &totals, std::optional<double> gap = {});

 private:
  // Where an event at offset lies along the timeline: the offset, or the clock's ticks.
  uint64_t position(uint64_t offset) const;
  // The standard framing's next event covers size bytes from offset: the bytes before it, back
  // to the end of the last one, are noise.
  void cover(uint64_t offset, uint64_t size);
  void add_damaged(uint64_t offset, const uint8_t *packet, std::string_view reason);

  capture_pass::StatsSink stats_;
  const capture_pass::PacketClock *clock_;
  SliceTimeline timeline_;
  uint64_t covered_ = 0;
  std::vector<DamagedPacket> damaged_;
  uint64_t damaged_count_ = 0;
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_REPORT_SINK_H
