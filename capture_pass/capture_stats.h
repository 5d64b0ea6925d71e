// capture_stats.h - the --stats summary of a capture: its bytes by what they hold, its packets
// by type, those not exact by form, its rejected packets by reason, a packet cut off at the end,
// and with a clock its times, rates and gaps; as a table or as JSON.
#ifndef CAPTURE_PASS_CAPTURE_STATS_H
#define CAPTURE_PASS_CAPTURE_STATS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <protolib/packet_form.hpp>

#include "capture_pass/clock_gaps.h"
#include "capture_pass/dump_pass.h"
#include "capture_pass/reason_names.h"

namespace capture_pass {

struct CutPacket {
  uint64_t offset;    // of its sync pair
  uint64_t received;  // bytes from there to the end of input
};

// What a clock tells of a capture.
struct ClockFigures {
  std::string name;                           // TYPE.FIELD[:UNIT] as given
  std::optional<double> first;                // the first clock packet's time; none without one
  double last = 0;                            // the last clock packet's time
  std::array<uint64_t, 256> timed_by_type{};  // listed packets with a time, by type
  uint64_t resets = 0;
  GapSummary gaps;
};

struct CaptureStats {
  // Bytes read: in the packets the standard framing accepted, in the ones it rejected (from the
  // sync pair to the byte that caused the rejection), noise, and in a packet cut off at the end.
  // The four add up to bytes_read. Recovered packets lie in rejected packets and noise.
  uint64_t bytes_read = 0;
  uint64_t packet_bytes = 0;
  uint64_t rejected_bytes = 0;
  uint64_t noise_bytes = 0;
  std::array<uint64_t, 256> packets_by_type{};  // listed packets, recovered ones included
  std::optional<uint64_t> recovered;            // recovered packets, when recovery ran
  std::array<uint64_t, std::size(kReasonNames)> rejected_by_reason{};  // as kReasonNames
  std::optional<CutPacket> unfinished;
  // Listed packets by type and form (indexed by PacketForm); exact ones are not counted here.
  std::array<std::array<uint64_t, protolib::kPacketForms>, 256> not_exact{};
  std::optional<ClockFigures> clock;  // with a clock
};

// Counts the events of a pass into stats.
class StatsSink final : public EventSink {
 public:
  // recovery: the pass runs with recovery, so the stats count recovered packets. clock: the
  // clock the events are timed by (a ClockSink before this sink moves it), and steps, its
  // steps as recorded; null for none.
  explicit StatsSink(bool recovery, const PacketClock *clock = nullptr,
                     const ClockSteps *steps = nullptr);

  void packet(const FrameEvent &event, const uint8_t *packet, bool recovered) override;
  void rejected(const FrameEvent &event, const uint8_t *packet) override;
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override;
  bool failed() const override { return false; }

  // The counts so far, completed with the pass's totals; with a clock, its figures, gaps being
  // steps longer than gap seconds (default: kGapMedians median steps).
  CaptureStats stats(const PassTotals &totals, std::optional<double> gap = {}) const;

 private:
  CaptureStats stats_;
  const PacketClock *clock_;
  const ClockSteps *steps_;
};

// The stats as an aligned table, a figure a line, packet types and forms that occur only (the
// packets of types outside the catalogue together where forms and rates are listed); with a
// clock, its times, rate per type, gaps (the ten longest) and resets.
std::string stats_table(const CaptureStats &stats);

// The stats as one JSON object on one line: "bytes_read", "packet_bytes", "rejected_bytes",
// "noise_bytes", "unfinished_bytes", "packets", "packets_by_type" (an object keyed by type,
// types that occur only), "recovered" (with recovery), "not_exact", "not_exact_by_type" ({type:
// {form: count}}, those that occur), "rejected", "rejected_by_reason" (keyed as the "error"
// values) and "unfinished" ({"offset","received"} or null); with a clock, "clock": {"name",
// "first", "last", "duration" (seconds; null without a clock packet), "rate_by_type" ({type:
// Hz}), "steps", "median_step", "gap_threshold", "gaps", "gap_seconds", "longest_gaps" ([{
// "offset","time","seconds"}], ten at most), "resets"}.
std::string stats_json(const CaptureStats &stats);

}  // namespace capture_pass

#endif  // CAPTURE_PASS_CAPTURE_STATS_H
