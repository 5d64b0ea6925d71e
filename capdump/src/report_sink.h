// report_sink.h - the events of a pass gathered for the --report page: the --stats summary,
// counted by the same StatsSink, and the same counts slice by slice along the capture, with the
// spread of each catalogue field's values per slice.
#ifndef CAPDUMP_SRC_REPORT_SINK_H
#define CAPDUMP_SRC_REPORT_SINK_H

#include <cstddef>
#include <cstdint>

#include <optional>

#include "capdump/src/slice_timeline.h"
#include "capture_pass/capture_stats.h"
#include "capture_pass/dump_pass.h"

namespace capdump {

// The slices of a report page unless told otherwise.
inline constexpr std::size_t kReportSlices = 512;

struct CaptureReport {
  capture_pass::CaptureStats stats;  // what --stats prints for the same pass
  SliceTimeline timeline;            // spreads indexed as catalogue_series()
  std::size_t slices = 0;            // the slices the capture fills
};

class ReportSink final : public capture_pass::EventSink {
 public:
  // recovery: the pass runs with recovery. clock and steps: as for StatsSink. max_slices: even,
  // at least 2.
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
  // The standard framing's next event covers size bytes from offset: the bytes before it, back
  // to the end of the last one, are noise.
  void cover(uint64_t offset, uint64_t size);

  capture_pass::StatsSink stats_;
  SliceTimeline timeline_;
  uint64_t covered_ = 0;
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_REPORT_SINK_H
