// raw_packets.h - the packets a pass hands over, written back as their own bytes: a capture.
#ifndef CAPDUMP_SRC_RAW_PACKETS_H
#define CAPDUMP_SRC_RAW_PACKETS_H

#include <protolib/wire.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "capture_pass/dump_pass.h"
#include "io/output_buffer.h"

namespace capdump {

// Writes each packet it is handed (sync pair, header, payload, checksums) to out, in the order
// handed; rejected and cut-off packets leave nothing. What it writes, framed again, gives the
// same packets and no rejection.
class RawPackets final : public capture_pass::EventSink {
 public:
  explicit RawPackets(io::OutputBuffer &out) : out_(out) {}

  void packet(const capture_pass::FrameEvent &event, const uint8_t *packet, bool) override {
    static constexpr char kSyncPair[] = {static_cast<char>(WIRE_SYNC1),
                                         static_cast<char>(WIRE_SYNC2)};
    out_.append(std::string_view(kSyncPair, sizeof kSyncPair));
    out_.append(std::string_view(reinterpret_cast<const char *>(packet),
                                 static_cast<std::size_t>(event.size) - sizeof kSyncPair));
  }
  void rejected(const capture_pass::FrameEvent &, const uint8_t *) override {}
  void unfinished(uint64_t, const uint8_t *, std::size_t) override {}
  bool failed() const override { return out_.failed(); }

 private:
  io::OutputBuffer &out_;
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_RAW_PACKETS_H
