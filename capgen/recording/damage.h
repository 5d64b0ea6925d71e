// Damage kinds a capture can carry, and the routines that damage packets already written.
#ifndef CAPGEN_SRC_DAMAGE_H
#define CAPGEN_SRC_DAMAGE_H

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "capgen/instrument/rng.h"

namespace capgen {

enum class Damage : uint8_t {
  kNoise,        // a run of noise bytes before the packet, never holding a sync byte
  kStraySync,    // a stray 0x81, or 0x81 0xA1, before the packet
  kBadA,         // checksum A wrong
  kBadB,         // checksum B wrong
  kShort,        // payload shorter than its layout, checksums right
  kLong,         // payload longer than its layout, checksums right
  kOverCount,    // a type-21 or 22 packet whose count byte exceeds the entry capacity
  kUnknownType,  // a type byte outside the catalogue (and not 0)
  kType0,        // type byte 0
  kTruncate,     // the capture ends with a packet cut off part-way
};

inline constexpr std::size_t kDamageKinds = 10;

// Option names of the kinds, indexed by Damage.
inline constexpr std::array<std::string_view, kDamageKinds> kDamageNames = {
    "noise", "stray-sync", "bad-a",        "bad-b", "short",
    "long",  "over-count", "unknown-type", "type0", "truncate"};

using DamageSet = std::bitset<kDamageKinds>;

// The kind with that option name, or nothing.
std::optional<Damage> damage_from_name(std::string_view name);

// The most bytes write_noise or write_stray_sync store.
inline constexpr std::size_t kMaxPrefix = 64;

// Stores a run of 1 to kMaxPrefix noise bytes at out, none of them 0x81 or 0xA1, so the run can
// neither start a packet nor complete a sync byte left before it. Returns the run's length.
std::size_t write_noise(uint8_t *out, Rng &rng);

// Stores 0x81, or 0x81 0xA1, at out. Returns the number of bytes stored.
std::size_t write_stray_sync(uint8_t *out, Rng &rng);

// Applies bad-a, bad-b, short, long, unknown-type or type0 to the whole packet of size bytes at
// packet, whose payload must be 1 to 254 bytes, with room for WIRE_MAX_PACKET bytes. Returns the
// packet's new size; other kinds leave the packet as it is.
int32_t damage_packet(Damage kind, uint8_t *packet, int32_t size, Rng &rng);

}  // namespace capgen

#endif  // CAPGEN_SRC_DAMAGE_H
