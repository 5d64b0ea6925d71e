// frame_scanner.h - runs the library's framer over a capture and tells where each packet it
// accepted or rejected begins, and why it rejected one. The framer works exactly as always; the
// scanner only chooses how many bytes to hand it at a time (up to the next sync candidate while
// hunting, the rest of the payload while reading one, single bytes otherwise), so that each of
// the framer's decisions falls on the last byte handed over.
#ifndef CAPDUMP_SRC_FRAME_SCANNER_H
#define CAPDUMP_SRC_FRAME_SCANNER_H

#include <protolib/framer.h>
#include <protolib/ring.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "byte_window.h"

namespace capdump {

// What the framer made of one packet.
enum class Outcome : uint8_t {
  kAccepted,        // both checksum bytes right: framer_next returned it
  kOversizeLength,  // rejected at a length byte above the framer's max_length
  kChecksumA,       // rejected at a wrong checksum A
  kChecksumB,       // rejected at a wrong checksum B
};

struct FrameEvent {
  uint64_t offset;  // of the packet's sync pair: the offset of its 0xA1 byte minus one
  Outcome outcome;
  bool operator==(const FrameEvent &) const = default;
};

class FrameScanner {
 public:
  // A framer accepting length bytes up to max_length, over a ring of its own. With backtrack,
  // scanning goes on after a rejected packet from the byte after its sync pair, so packets the
  // rejected one swallowed are found; without, from the byte after the one that caused the
  // rejection, as the framer alone does. Throws std::bad_alloc when memory runs out.
  FrameScanner(bool backtrack, int max_length);
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
  // Without backtrack, these, the bytes of accepted and rejected packets and those of the packet
  // in progress add up to position().
  uint64_t noise_bytes() const;

 private:
  bool hunting() const;
  // Records the end of the packet that began at packet_start_ on the byte before position_.
  void finish_packet(Outcome outcome, std::vector<FrameEvent> &events);

  bool backtrack_;
  ByteRing *ring_ = nullptr;
  PacketFramer *framer_ = nullptr;
  uint64_t position_ = 0;
  uint64_t packet_start_ = 0;  // sync-pair offset of the latest packet begun
  uint64_t hunt_start_ = 0;    // where the current hunt for a sync pair began
  uint64_t noise_ = 0;         // noise bytes of hunts already ended
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_FRAME_SCANNER_H
