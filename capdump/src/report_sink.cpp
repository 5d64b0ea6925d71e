#include "capdump/src/report_sink.h"

#include <protolib/packet_form.hpp>

#include <utility>

#include "capdump/src/field_series.h"

namespace capdump {

ReportSink::ReportSink(bool recovery, const capture_pass::PacketClock *clock,
                       const capture_pass::ClockSteps *steps, std::size_t max_slices)
    : stats_(recovery, clock, steps),
      clock_(clock),
      timeline_(max_slices, catalogue_series().size()) {}

uint64_t ReportSink::position(uint64_t offset) const {
  if (clock_ == nullptr) return offset;
  return clock_->started() ? clock_->ticks_since_first() : 0;
}

void ReportSink::packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
                        bool recovered) {
  stats_.packet(event, packet, recovered);
  // Covering first: it may merge slices, which would move the packet's.
  if (!recovered) cover(event.offset, static_cast<uint64_t>(event.size));
  const std::size_t slice = timeline_.slice_of(position(event.offset));
  SliceCounts &counts = timeline_.counts(slice);
  ++counts.packets[packet[0]];
  if (recovered) ++counts.recovered;
  const protolib::PacketForm form = protolib::packet_form(packet);
  if (form != protolib::PacketForm::kExact) {
    add_damaged(event.offset, packet, protolib::form_name(form));
    return;
  }
  // A record decoded from a payload of another length would show made-up zeros: exact ones only.
  for_each_number(packet, [&](std::size_t series, double value) {
    timeline_.spread(slice, series).add(value);
  });
}

void ReportSink::rejected(const capture_pass::FrameEvent &event, const uint8_t *packet) {
  stats_.rejected(event, packet);
  cover(event.offset, static_cast<uint64_t>(event.size));
  const std::size_t slice = timeline_.slice_of(position(event.offset));
  ++timeline_.counts(slice).rejected[capture_pass::reason_index(event.reason)];
  add_damaged(event.offset, packet, capture_pass::reason_name(event.reason).label);
}

void ReportSink::unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) {
  stats_.unfinished(offset, sync_pair, received);
  cover(offset, received);
}

CaptureReport ReportSink::finish(const capture_pass::PassTotals &totals,
                                 std::optional<double> gap) {
  cover(totals.bytes, 0);
  std::optional<double> seconds_per_position;
  uint64_t end = totals.bytes;
  if (clock_ != nullptr && end > 0) {
    seconds_per_position = clock_->named().seconds(1);
    end = clock_->started() ? clock_->ticks_since_first() + 1 : 1;
  }
  const std::size_t slices = timeline_.fill(end);
  return CaptureReport{
      stats_.stats(totals, gap), std::move(timeline_), slices, seconds_per_position, end,
      std::move(damaged_),       damaged_count_};
}

void ReportSink::cover(uint64_t offset, uint64_t size) {
  if (clock_ == nullptr) {
    timeline_.add_bytes(covered_, offset, true);
    timeline_.add_bytes(offset, offset + size, false);
  } else {
    // Time stands still between clock packets: the bytes lie where the clock is now.
    SliceCounts &counts = timeline_.counts(timeline_.slice_of(position(offset)));
    counts.noise_bytes += offset - covered_;
    counts.bytes += offset + size - covered_;
  }
  covered_ = offset + size;
}

void ReportSink::add_damaged(uint64_t offset, const uint8_t *packet, std::string_view reason) {
  if (damaged_count_++ >= kErrorRows) return;
  std::optional<double> time;
  if (clock_ != nullptr && clock_->started()) time = clock_->now() - clock_->first();
  damaged_.push_back({offset, time, packet[0], packet[1], reason});
}

}  // namespace capdump
