// Damage routines: each changes only what its kind names and keeps every other byte valid.
#include "capgen/recording/damage.h"

#include <protolib/wire.h>
#include <protolib/writer.h>
#include <protolib/catalogue.hpp>

#include <algorithm>

namespace capgen {

namespace {

constexpr uint32_t kMaxExtraPayload = 32;

// A byte that differs from original.
uint8_t other_than(uint8_t original, Rng &rng) {
  return static_cast<uint8_t>(original + 1 + rng.below(255));
}

// Recomputes length and checksums after the payload or type byte changed.
int32_t refinish(uint8_t *packet, uint32_t payload_size) {
  return packet_finish(packet, packet + WIRE_HEADER_SIZE + payload_size);
}

uint8_t uncatalogued_type(Rng &rng) {
  uint8_t type;
  do {
    type = static_cast<uint8_t>(1 + rng.below(255));
  } while (protolib::in_catalogue(type));
  return type;
}

}  // namespace

std::optional<Damage> damage_from_name(std::string_view name) {
  const auto found = std::find(kDamageNames.begin(), kDamageNames.end(), name);
  if (found == kDamageNames.end()) return std::nullopt;
  return static_cast<Damage>(found - kDamageNames.begin());
}

std::size_t write_noise(uint8_t *out, Rng &rng) {
  const std::size_t length = 1 + rng.below(kMaxPrefix);
  for (std::size_t i = 0; i < length; ++i) {
    // 254 values, stepped over both sync bytes.
    uint32_t value = rng.below(254);
    if (value >= WIRE_SYNC1) ++value;
    if (value >= WIRE_SYNC2) ++value;
    out[i] = static_cast<uint8_t>(value);
  }
  return length;
}

std::size_t write_stray_sync(uint8_t *out, Rng &rng) {
  out[0] = WIRE_SYNC1;
  if (rng.below(2) == 0) return 1;
  out[1] = WIRE_SYNC2;
  return 2;
}

int32_t damage_packet(Damage kind, uint8_t *packet, int32_t size, Rng &rng) {
  const auto payload = static_cast<uint32_t>(size - WIRE_OVERHEAD);
  switch (kind) {
    case Damage::kBadA:
      packet[size - 2] = other_than(packet[size - 2], rng);
      return size;
    case Damage::kBadB:
      packet[size - 1] = other_than(packet[size - 1], rng);
      return size;
    case Damage::kShort:
      return refinish(packet, rng.below(payload));
    case Damage::kLong: {
      const uint32_t extra =
          1 + rng.below(std::min<uint32_t>(kMaxExtraPayload, WIRE_MAX_PAYLOAD - payload));
      for (uint32_t i = 0; i < extra; ++i) packet[WIRE_HEADER_SIZE + payload + i] = rng.byte();
      return refinish(packet, payload + extra);
    }
    case Damage::kUnknownType:
      packet[2] = uncatalogued_type(rng);
      return refinish(packet, payload);
    case Damage::kType0:
      packet[2] = 0;
      return refinish(packet, payload);
    default:
      return size;
  }
}

}  // namespace capgen
