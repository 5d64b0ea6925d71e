// json_lines.h - capdump's JSON Lines: one object a line for each packet, and on request for
// each rejected packet and a packet cut off at the end.
//
// A packet: {"offset":N[,"time":S],"type":T,"length":L[,"form":F][,"recovered":true], then for
// a catalogue type its record's fields by name (arrays as arrays, entries up to count as
// objects), for other types "payload":"<hex>"}. A packet that is not exact has its form
// ("short", "long", "over_capacity", "unknown") and "payload" as well. A NaN or infinite
// f32/f64 field is null, followed by "<name>_bits":"<hex>" with its bit pattern.
// A rejected packet: {"offset":N[,"time":S],"error":"checksum_a"|"checksum_b"|
// "oversize_length","type":T,"length":L}. A cut-off packet: {"offset":N[,"time":S],
// "error":"unfinished"[,"type":T[,"length":L]],"received":B}, naming the bytes received from its
// sync pair on. "time" comes with a clock: the seconds it shows, or null before it started.
#ifndef CAPDUMP_SRC_JSON_LINES_H
#define CAPDUMP_SRC_JSON_LINES_H

#include <cstddef>
#include <cstdint>

#include "capdump/src/line_room.h"
#include "capdump/src/time_text.h"
#include "capture_pass/dump_pass.h"
#include "capture_pass/packet_clock.h"
#include "io/output_buffer.h"

namespace capdump {

class JsonLinesSink final : public capture_pass::EventSink {
 public:
  // errors: also write the rejected packets and a packet cut off at the end. clock: the clock
  // whose time each line shows, or null for none.
  JsonLinesSink(io::OutputBuffer &out, bool errors,
                const capture_pass::PacketClock *clock = nullptr)
      : out_(out), errors_(errors), clock_(clock) {}

  void packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
              bool recovered) override;
  void rejected(const capture_pass::FrameEvent &event, const uint8_t *packet) override;
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override;
  bool failed() const override { return out_.failed(); }

 private:
  static constexpr std::size_t kMaxLine = kJsonLineRoom;
  static_assert(kMaxLine <= io::OutputBuffer::kCapacity, "the longest line fits the buffer");

  // Writes {"offset":N and, with a clock, ,"time":S.
  char *put_start(char *out, uint64_t offset);

  io::OutputBuffer &out_;
  bool errors_;
  const capture_pass::PacketClock *clock_;
  TimeText time_;
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_JSON_LINES_H
