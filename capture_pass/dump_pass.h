// dump_pass.h - one pass over a capture: the standard framing of the library's framer and, with
// recovery, a second framing that goes back after each rejected packet, merged in offset order
// and handed to a sink.
#ifndef CAPTURE_PASS_DUMP_PASS_H
#define CAPTURE_PASS_DUMP_PASS_H

#include <cstddef>
#include <cstdint>

#include "capture_pass/frame_scanner.h"
#include "io/byte_io.h"

namespace capture_pass {

// Receives what a pass finds, in offset order. Packet bytes stay valid only during the call.
class EventSink {
 public:
  virtual ~EventSink() = default;
  // A packet the framer accepted, where and of what size event tells: packet points at its type
  // byte, its length byte L, the L payload bytes and its two checksum bytes (event.size - 2
  // bytes in all). recovered: only the framing that goes back after rejections found it.
  virtual void packet(const FrameEvent &event, const uint8_t *packet, bool recovered) = 0;
  // A packet the standard framing rejected, where, why and of what size event tells: packet
  // points at its type and length bytes as received.
  virtual void rejected(const FrameEvent &event, const uint8_t *packet) = 0;
  // The end of input cut off the packet begun at offset: received bytes (2 to 260) from its
  // sync pair on are at sync_pair.
  virtual void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) = 0;
  // True once the sink cannot deliver any more; the pass then stops reading.
  virtual bool failed() const = 0;
};

// What a pass read.
struct PassTotals {
  uint64_t bytes = 0;           // bytes read
  uint64_t noise_bytes = 0;     // of those, bytes the standard framing skipped as noise
  bool read_failed = false;     // reading stopped on an error, not at the end of input
  int read_error = 0;           // the errno value of that error
  uint64_t recovery_steps = 0;  // with recover, the steps of RecoveryScanner: a few a byte
};

// Reads in to its end, frames it as the library's decoder does (every length byte accepted)
// and hands each accepted and rejected packet to sink, then a packet cut off at the end, if
// any. With recover, also hands over the packets a framing that goes on from the byte after
// each rejected packet's sync pair accepts and the standard framing does not, as recovered.
// After a read error or once the sink fails, stops without reporting an unfinished packet.
PassTotals dump_pass(io::ByteSource &in, bool recover, EventSink &sink);

}  // namespace capture_pass

#endif  // CAPTURE_PASS_DUMP_PASS_H
