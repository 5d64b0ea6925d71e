#include "bench/packet_bounds.h"

#include <protolib/framer.h>
#include <protolib/ring.h>

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr unsigned kRingSize = 1024;

struct RingDeleter {
  void operator()(ByteRing *ring) const { ring_destroy(ring); }
};
struct FramerDeleter {
  void operator()(PacketFramer *framer) const { framer_destroy(framer); }
};

}  // namespace

std::vector<PacketBound> packet_bounds(std::string_view capture) {
  ByteRing *raw_ring = nullptr;
  if (ring_create(&raw_ring, nullptr, kRingSize) != 0) throw std::bad_alloc();
  const std::unique_ptr<ByteRing, RingDeleter> ring(raw_ring);
  const std::unique_ptr<PacketFramer, FramerDeleter> framer(
      framer_create(ring.get(), WIRE_MAX_PAYLOAD));
  if (!framer) throw std::bad_alloc();
  std::vector<PacketBound> bounds;
  for (std::size_t written = 0; written < capture.size();) {
    const std::size_t chunk = std::min<std::size_t>(capture.size() - written, kRingSize - 1);
    ring_write(ring.get(), reinterpret_cast<const uint8_t *>(capture.data() + written),
               static_cast<int>(chunk));
    written += chunk;
    // The byte that decided is the last one the framer took, so the packet ends where the bytes
    // still in the ring begin.
    for (FramerReport report; (report = framer_step(framer.get())).event != FRAMER_DRY;) {
      if (report.event != FRAMER_ACCEPTED) continue;
      const auto unread = static_cast<std::size_t>(ring_count(ring.get()));
      bounds.push_back({written - unread, framer->buffer[0]});
    }
  }
  return bounds;
}
