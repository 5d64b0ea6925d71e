// The ring's readable span, inline for the framer's hot path. Only the ring's own code and the
// framer's (through these) move a ring's positions.
#ifndef PROTOLIB_SRC_RING_SPAN_H
#define PROTOLIB_SRC_RING_SPAN_H

#include <protolib/ring.h>

namespace protolib {

// The first contiguous run of stored bytes; *size is 0 for an empty ring.
inline const uint8_t *claim_span(const ByteRing *ring, int *size) {
  const uint8_t *run_end = ring->write_pos >= ring->read_pos ? ring->write_pos : ring->end;
  *size = static_cast<int>(run_end - ring->read_pos);
  return ring->read_pos;
}

// Removes the n oldest bytes, n at most the size claim_span gave.
inline void consume_span(ByteRing *ring, int n) {
  ring->read_pos += n;
  if (ring->read_pos == ring->end) ring->read_pos = ring->start;
}

}  // namespace protolib

#endif  // PROTOLIB_SRC_RING_SPAN_H
