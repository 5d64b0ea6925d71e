// frame_scanner.h - runs the library's framer over a capture and tells where each packet it
// accepted or rejected begins, why it rejected one, and how many bytes the decision covered.
// The framer works exactly as always, on as many bytes at a time as its ring holds; the offsets
// follow from its reports and from the bytes left in the ring after each decision.
#ifndef CAPTURE_PASS_FRAME_SCANNER_H
#define CAPTURE_PASS_FRAME_SCANNER_H

#include <protolib/framer.h>
#include <protolib/ring.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "capture_pass/byte_window.h"

namespace capture_pass {

// One packet the framer decided on.
struct FrameEvent {
  uint64_t offset;     // of the packet's sync pair: the offset of its 0xA1 byte minus one
  FramerEvent reason;  // FRAMER_ACCEPTED, or why it was rejected
  int32_t size;        // bytes from the sync pair through the byte that decided
  bool operator==(const FrameEvent &) const = default;
};

class FrameScanner {
 public:
  // A framer accepting length bytes up to max_length, over a ring of its own. Throws
  // std::bad_alloc when memory runs out.
  explicit FrameScanner(int max_length);
  ~FrameScanner();
  FrameScanner(const FrameScanner &) = delete;
  FrameScanner &operator=(const FrameScanner &) = delete;

  // Hands the framer the bytes of window from position() to its end, appending an event for
  // each packet accepted or rejected, in offset order. window must hold frontier() onwards.
  void scan(const ByteWindow &window, std::vector<FrameEvent> &events);

  // The offset of the next byte to hand over.
  uint64_t position() const { return position_; }
  // No later event has a smaller offset, and scanning needs no byte before it.
  uint64_t frontier() const;
  // The sync-pair offset of the packet in progress, when the framer is past a sync pair.
  std::optional<uint64_t> packet_in_progress() const;
  // Bytes up to position() that belong to no packet: skipped while hunting for a sync pair.
  // These, the bytes of accepted and rejected packets and those of the packet in progress add up
  // to position().
  uint64_t noise_bytes() const;

 private:
  // Steps the framer through the ring, whose bytes end at position_, until it runs dry; appends
  // an event for each decision.
  void take_decisions(std::vector<FrameEvent> &events);

  ByteRing *ring_ = nullptr;
  PacketFramer *framer_ = nullptr;
  uint64_t position_ = 0;
  uint64_t hunt_start_ = 0;  // where the current hunt for a sync pair began
  uint64_t noise_ = 0;       // noise bytes of hunts already ended
};

}  // namespace capture_pass

#endif  // CAPTURE_PASS_FRAME_SCANNER_H
