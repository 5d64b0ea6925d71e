// recovery_scanner.h - the framing that goes back after each rejected packet: it finds packets
// as the library's framer does, but goes on after a rejection from the byte after the rejected
// packet's sync pair, so that packets the rejected one swallowed are found. It reads the
// window itself and takes each packet's checksums from running sums, so that trying a packet
// costs the same whatever its length: a few steps a byte, wherever the sync pairs lie.
#ifndef CAPTURE_PASS_RECOVERY_SCANNER_H
#define CAPTURE_PASS_RECOVERY_SCANNER_H

#include <cstdint>
#include <vector>

#include "capture_pass/byte_window.h"
#include "capture_pass/frame_scanner.h"
#include "capture_pass/running_sums.h"

namespace capture_pass {

class RecoveryScanner {
 public:
  // Frames the bytes of window from where the last call stopped to its end, appending an event
  // for each packet accepted (every length byte accepted), in offset order. window must hold
  // frontier() onwards.
  void scan(const ByteWindow &window, std::vector<FrameEvent> &events);

  // No later event has a smaller offset, and scanning needs no byte before it.
  uint64_t frontier() const;

  // The work done so far: bytes hunted through for sync pairs and bytes summed, each packet
  // tried taking one sync pair hunted through. At most twice the bytes scanned, with those kept
  // from one window to the next.
  uint64_t steps() const { return hunted_ + sums_.bytes_summed(); }

 private:
  // What the byte at position_ is looked at for.
  enum class Phase {
    kSync1,  // a 0x81
    kSync2,  // a 0xA1, the 0x81 before it found
    kType,   // the type byte of a packet to try: the sync pair lies just before it
  };

  // Where a hunt stopped, and what the byte there is to be looked at for.
  struct Hunted {
    uint64_t at;
    Phase phase;
  };
  // Hunts for a sync pair in data[at, size), looking first for what phase says. Returns the
  // byte after the pair and kType, or size and the phase to go on in.
  static Hunted hunt(const uint8_t *data, uint64_t size, Phase phase, uint64_t at);
  // Goes on from the rejected packet whose type byte is at to the packets after it, for as long
  // as each one's sync pair begins within a few bytes and the checksums reject it, as in a storm
  // of sync pairs: the one loop cheap enough to try a packet every two bytes, kept out of line
  // so that it has the registers to itself. Returns a type byte to try (one the loop did not
  // reject, or at quick or beyond, where the sums may not reach, or whose checksum B's sums
  // reach only b_reached), or the byte to hunt on from in kSync1.
  static Hunted skip_rejected(const uint8_t *data, const RunningSums::Taken &sums, uint64_t at,
                              uint64_t quick, uint64_t b_reached);

  uint64_t position_ = 0;
  Phase phase_ = Phase::kSync1;
  RunningSums sums_;
  uint64_t hunted_ = 0;
};

}  // namespace capture_pass

#endif  // CAPTURE_PASS_RECOVERY_SCANNER_H
