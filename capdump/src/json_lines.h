// json_lines.h - capdump's JSON Lines: one object a line for each packet, and on request for
// each rejected packet and a packet cut off at the end.
//
// A packet: {"offset":N,"type":T,"length":L[,"recovered":true], then for a catalogue type its
// record's fields by name (arrays as arrays, entries up to count as objects), for other types
// "payload":"<hex>"}. A catalogue packet whose fields do not give back its payload (a length
// other than the layout's, a count above the capacity) also carries "payload". A NaN or infinite
// f32/f64 field is null, followed by "<name>_bits":"<hex>" with its bit pattern.
// A rejected packet: {"offset":N,"error":"checksum_a"|"checksum_b"|"oversize_length",
// "type":T,"length":L}. A cut-off packet: {"offset":N,"error":"unfinished"[,"type":T[,
// "length":L]],"received":B}, naming the bytes received from its sync pair on.
#ifndef CAPDUMP_SRC_JSON_LINES_H
#define CAPDUMP_SRC_JSON_LINES_H

#include <cstddef>
#include <cstdint>

#include "dump_pass.h"
#include "output_buffer.h"

namespace capdump {

class JsonLinesSink final : public EventSink {
 public:
  // errors: also write the rejected packets and a packet cut off at the end.
  JsonLinesSink(OutputBuffer &out, bool errors) : out_(out), errors_(errors) {}

  void packet(const FrameEvent &event, const uint8_t *packet, bool recovered) override;
  void rejected(const FrameEvent &event, const uint8_t *packet) override;
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override;
  bool failed() const override { return out_.failed(); }

 private:
  // Room for the longest line: a type-22 packet of ten entries of NaNs, with its payload.
  static constexpr std::size_t kMaxLine = 4096;

  void write_line(const char *end);

  OutputBuffer &out_;
  bool errors_;
  char line_[kMaxLine]{};
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_JSON_LINES_H
