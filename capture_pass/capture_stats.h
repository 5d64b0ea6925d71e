// capture_stats.h - the --stats summary of a capture: its bytes by what they hold, its packets
// by type, its rejected packets by reason, a packet cut off at the end; as a table or as JSON.
#ifndef CAPTURE_PASS_CAPTURE_STATS_H
#define CAPTURE_PASS_CAPTURE_STATS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "dump_pass.h"
#include "reason_names.h"

namespace capdump {

struct CutPacket {
  uint64_t offset;    // of its sync pair
  uint64_t received;  // bytes from there to the end of input
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
};

// Counts the events of a pass into stats.
class StatsSink final : public EventSink {
 public:
  // recovery: the pass runs with recovery, so the stats count recovered packets.
  explicit StatsSink(bool recovery);

  void packet(const FrameEvent &event, const uint8_t *packet, bool recovered) override;
  void rejected(const FrameEvent &event, const uint8_t *packet) override;
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override;
  bool failed() const override { return false; }

  // The counts so far, completed with the pass's totals.
  CaptureStats stats(const PassTotals &totals) const;

 private:
  CaptureStats stats_;
};

// The stats as an aligned table, a figure a line, packet types that occur only.
std::string stats_table(const CaptureStats &stats);

// The stats as one JSON object on one line: "bytes_read", "packet_bytes", "rejected_bytes",
// "noise_bytes", "unfinished_bytes", "packets", "packets_by_type" (an object keyed by type,
// types that occur only), "recovered" (with recovery), "rejected", "rejected_by_reason" (keyed
// as the "error" values) and "unfinished" ({"offset","received"} or null).
std::string stats_json(const CaptureStats &stats);

}  // namespace capdump

#endif  // CAPTURE_PASS_CAPTURE_STATS_H
