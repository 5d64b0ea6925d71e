// The capture generator: a deterministic synthetic recording, optionally damaged, streamed
// through an output buffer.
#ifndef CAPGEN_SRC_GENERATOR_H
#define CAPGEN_SRC_GENERATOR_H

#include <array>
#include <cstdint>
#include <limits>

#include "capgen/output/sink.h"
#include "capgen/recording/damage.h"
#include "capgen/recording/type_set.h"
#include "io/output_buffer.h"

namespace capgen {

inline constexpr uint64_t kNoLimit = std::numeric_limits<uint64_t>::max();

// What to generate. The same settings always give the same bytes.
struct CaptureSettings {
  uint64_t max_bytes = 1 << 20;     // stop once the capture holds at least this many bytes
  uint64_t max_packets = kNoLimit;  // stop once this many whole packets are written
  uint64_t seed = 1;
  TypeSet types = whole_catalogue();  // catalogue types the recording holds
  DamageSet damage;                   // damage kinds to apply; none for a clean capture
  double damage_rate = 0.01;          // share of packets, 0 to 1, that get one of those kinds
  // Uniformly random bytes (max_bytes of them, every value included) instead of a recording.
  bool random_bytes = false;
};

// What a capture holds.
struct CaptureStats {
  uint64_t bytes = 0;
  // Whole packets by the type byte they carry, damaged ones included; the cut-off packet that
  // truncate adds is not among them.
  std::array<uint64_t, 256> packets_by_type{};
  // Of those, the ones with both checksums right: what a framer accepts when no stray sync
  // byte leads it astray.
  std::array<uint64_t, 256> accepted_by_type{};
  // Packets damaged by each kind; a noise run or stray sync counts for the packet it precedes.
  std::array<uint64_t, kDamageKinds> damaged{};
};

// Writes the capture settings describe to out, leaving the last of it for the caller to flush.
// Each damaged packet gets one kind, drawn from settings.damage; truncate instead adds one packet
// cut off at the end. Over-count, unknown-type and type0 packets take the place of a packet of
// the recording. Writes nothing when types holds no catalogue type. With random_bytes, writes
// max_bytes random bytes and counts no packets. Stops early when out fails. Returns what was
// written.
CaptureStats generate(const CaptureSettings &settings, io::OutputBuffer &out);

// The same capture handed to sink, all of it.
inline CaptureStats generate(const CaptureSettings &settings, const Sink &sink) {
  return write_through(sink,
                       [&settings](io::OutputBuffer &out) { return generate(settings, out); });
}

}  // namespace capgen

#endif  // CAPGEN_SRC_GENERATOR_H
