#include "capdump/src/report_sink.h"

#include <utility>

#include "capdump/src/field_series.h"

namespace capdump {

ReportSink::ReportSink(bool recovery, const capture_pass::PacketClock *clock,
                       const capture_pass::ClockSteps *steps, std::size_t max_slices)
    : stats_(recovery, clock, steps), timeline_(max_slices, catalogue_series().size()) {}

void ReportSink::packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
                        bool recovered) {
  stats_.packet(event, packet, recovered);
  const std::size_t slice = timeline_.slice_of(event.offset);
  SliceCounts &counts = timeline_.counts(slice);
  ++counts.packets[packet[0]];
  if (recovered) {
    ++counts.recovered;
  } else {
    cover(event.offset, static_cast<uint64_t>(event.size));
  }
  for_each_spread(packet, [&](std::size_t series, const Spread &values) {
    timeline_.spread(slice, series).merge(values);
  });
}

void ReportSink::rejected(const capture_pass::FrameEvent &event, const uint8_t *packet) {
  stats_.rejected(event, packet);
  const std::size_t slice = timeline_.slice_of(event.offset);
  ++timeline_.counts(slice).rejected[capture_pass::reason_index(event.reason)];
  cover(event.offset, static_cast<uint64_t>(event.size));
}

void ReportSink::unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) {
  stats_.unfinished(offset, sync_pair, received);
  cover(offset, received);
}

CaptureReport ReportSink::finish(const capture_pass::PassTotals &totals,
                                 std::optional<double> gap) {
  timeline_.add_noise(covered_, totals.bytes);
  const std::size_t slices = timeline_.fill(totals.bytes);
  return CaptureReport{stats_.stats(totals, gap), std::move(timeline_), slices};
}

void ReportSink::cover(uint64_t offset, uint64_t size) {
  timeline_.add_noise(covered_, offset);
  covered_ = offset + size;
}

}  // namespace capdump
