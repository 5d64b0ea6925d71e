// The byte ring: storage is one heap block; positions wrap right after each store or load.
#include <protolib/ring.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "protolib/src/ring_span.h"

namespace {

// Bytes that can be stored before the ring would look empty again.
int free_space(const ByteRing *ring) {
  auto space = static_cast<int>(ring->read_pos - ring->write_pos) - 1;
  return space < 0 ? space + ring->size : space;
}

// Stores n >= 0 bytes at write_pos, splitting once at the end of the storage per pass. More
// than size bytes overwrite earlier ones exactly as byte-by-byte stores would.
void store(ByteRing *ring, const uint8_t *data, int n) {
  while (n > 0) {
    int chunk = std::min(n, static_cast<int>(ring->end - ring->write_pos));
    std::memcpy(ring->write_pos, data, static_cast<size_t>(chunk));
    ring->write_pos += chunk;
    if (ring->write_pos == ring->end) ring->write_pos = ring->start;
    data += chunk;
    n -= chunk;
  }
}

}  // namespace

extern "C" {

int ring_create(ByteRing **reader_out, ByteRing **writer_out, unsigned size) {
  const unsigned wrapped = size % 65536u;
  if (wrapped == 0) return 1;
  auto *ring = static_cast<ByteRing *>(std::malloc(sizeof(ByteRing)));
  if (ring == nullptr) return 1;
  auto *storage = static_cast<uint8_t *>(std::calloc(wrapped, 1));
  if (storage == nullptr) {
    std::free(ring);
    return 1;
  }
  ring->size = static_cast<int32_t>(wrapped);
  ring->start = storage;
  ring->end = storage + wrapped;
  ring->write_pos = storage;
  ring->read_pos = storage;
  if (reader_out == nullptr && writer_out == nullptr) {
    ring_destroy(ring);  // nobody could ever reach it; creating it only had to succeed
    return 0;
  }
  if (reader_out != nullptr) *reader_out = ring;
  if (writer_out != nullptr) *writer_out = ring;
  return 0;
}

void ring_destroy(ByteRing *ring) {
  if (ring == nullptr) return;
  std::free(ring->start);
  std::free(ring);
}

void ring_put(ByteRing *ring, uint8_t byte) {
  *ring->write_pos = byte;
  if (++ring->write_pos == ring->end) ring->write_pos = ring->start;
}

int ring_put_checked(ByteRing *ring, uint8_t byte) {
  if (free_space(ring) <= 0) return 1;
  ring_put(ring, byte);
  return 0;
}

void ring_write(ByteRing *ring, const uint8_t *data, int n) {
  store(ring, data, n);
}

int ring_write_checked(ByteRing *ring, const uint8_t *data, int n) {
  if (free_space(ring) < n) return 1;
  store(ring, data, n);
  return 0;
}

int ring_get(ByteRing *ring) {
  if (ring->read_pos == ring->write_pos) return -1;
  const uint8_t byte = *ring->read_pos;
  if (++ring->read_pos == ring->end) ring->read_pos = ring->start;
  return byte;
}

int ring_read(ByteRing *ring, uint8_t *dest, int n) {
  const int count = std::min(ring_count(ring), n);
  for (int copied = 0; copied < count;) {
    const int chunk = std::min(count - copied, static_cast<int>(ring->end - ring->read_pos));
    std::memcpy(dest + copied, ring->read_pos, static_cast<size_t>(chunk));
    ring->read_pos += chunk;
    if (ring->read_pos == ring->end) ring->read_pos = ring->start;
    copied += chunk;
  }
  return std::max(count, 0);
}

const uint8_t *ring_claim(const ByteRing *ring, int *size) {
  return protolib::claim_span(ring, size);
}

void ring_consume(ByteRing *ring, int n) {
  protolib::consume_span(ring, n);
}

int ring_count(const ByteRing *ring) {
  const auto stored = static_cast<int>(ring->write_pos - ring->read_pos);
  return stored < 0 ? stored + ring->size : stored;
}

}  // extern "C"
