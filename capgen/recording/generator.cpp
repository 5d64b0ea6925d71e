// The generator's main loop: schedule, instrument reading, damage, output, statistics.
#include "capgen/recording/generator.h"

#include <protolib/wire.h>
#include <protolib/catalogue.hpp>

#include <algorithm>
#include <optional>
#include <vector>

#include "capgen/instrument/instrument.h"
#include "capgen/instrument/layout_facts.h"
#include "capgen/recording/schedule.h"

namespace capgen {

namespace {

// The most random bytes written at a time: a multiple of the 8 drawn at a time, so where the
// pieces end does not change the bytes.
constexpr std::size_t kRandomPiece = std::size_t{32} * 1024;
// Each part of the generator draws from its own sequence, so turning damage on or off leaves
// the recording's values and timetable as they were.
constexpr uint64_t kScheduleStream = 0x5CEDu;
constexpr uint64_t kDamageStream = 0xDA3A6Eu;

class CaptureWriter {
 public:
  CaptureWriter(const CaptureSettings &settings, io::OutputBuffer &out)
      : settings_(settings),
        output_(out),
        instrument_(settings.seed),
        schedule_(settings.seed ^ kScheduleStream, settings.types),
        damage_rng_(settings.seed ^ kDamageStream),
        damage_threshold_(chance_threshold(settings.damage_rate)) {
    for (std::size_t kind = 0; kind < kDamageKinds; ++kind) {
      if (settings.damage[kind] && static_cast<Damage>(kind) != Damage::kTruncate) {
        packet_damage_.push_back(static_cast<Damage>(kind));
      }
    }
    // Over-counted packets are of the recording's types with counted entries, or of any such
    // type when the recording has none.
    std::vector<uint8_t> all_counted;
    protolib::for_each_catalogue_type([&all_counted](auto kind) {
      if constexpr (kHasEntries<typename decltype(kind)::Record>) all_counted.push_back(kind.kType);
    });
    for (uint8_t type : all_counted) {
      if (settings.types[type]) counted_types_.push_back(type);
    }
    if (counted_types_.empty()) counted_types_ = all_counted;
  }

  CaptureStats run() {
    if (settings_.random_bytes) {
      write_random_bytes();
    } else if ((settings_.types & whole_catalogue()).any()) {
      while (!limit_reached() && !output_.failed()) write_packet();
      if (settings_.damage[static_cast<std::size_t>(Damage::kTruncate)]) write_cut_packet();
    }
    return stats_;
  }

 private:
  bool limit_reached() const {
    return stats_.bytes >= settings_.max_bytes || packets_ >= settings_.max_packets;
  }

  std::optional<Damage> draw_damage() {
    if (packet_damage_.empty() || !damage_rng_.chance(damage_threshold_)) return std::nullopt;
    return packet_damage_[damage_rng_.below(packet_damage_.size())];
  }

  void write_packet() {
    const std::optional<Damage> damage = draw_damage();
    uint8_t *out = output_.reserve_bytes(kMaxPrefix + WIRE_MAX_PACKET);
    std::size_t prefix = 0;
    if (damage == Damage::kNoise) prefix = write_noise(out, damage_rng_);
    if (damage == Damage::kStraySync) prefix = write_stray_sync(out, damage_rng_);
    uint8_t *packet = out + prefix;
    const bool over_count = damage == Damage::kOverCount;
    uint8_t type = schedule_.next();
    // An over-counted packet takes this slot of the recording.
    if (over_count) type = counted_types_[damage_rng_.below(counted_types_.size())];
    int32_t size = instrument_.write_packet(type, schedule_.clock_ms(), packet, over_count);
    if (damage) {
      size = damage_packet(*damage, packet, size, damage_rng_);
      ++stats_.damaged[static_cast<std::size_t>(*damage)];
    }
    commit(prefix + static_cast<std::size_t>(size));
    ++packets_;
    ++stats_.packets_by_type[packet[2]];
    if (damage != Damage::kBadA && damage != Damage::kBadB) ++stats_.accepted_by_type[packet[2]];
  }

  void write_random_bytes() {
    Rng rng(settings_.seed);
    constexpr std::size_t kWord = sizeof(uint64_t);
    while (stats_.bytes < settings_.max_bytes && !output_.failed()) {
      const std::size_t n = static_cast<std::size_t>(
          std::min<uint64_t>(kRandomPiece, settings_.max_bytes - stats_.bytes));
      uint8_t *out = output_.reserve_bytes(n);
      for (std::size_t i = 0; i < n; i += kWord) {
        uint64_t word = rng.next();
        for (std::size_t k = i; k < std::min(i + kWord, n); ++k, word >>= 8) {
          out[k] = static_cast<uint8_t>(word);
        }
      }
      commit(n);
    }
  }

  // One more packet of the recording, ended somewhere between its sync pair and its last byte.
  void write_cut_packet() {
    uint8_t *packet = output_.reserve_bytes(WIRE_MAX_PACKET);
    const uint8_t type = schedule_.next();
    const int32_t size = instrument_.write_packet(type, schedule_.clock_ms(), packet);
    commit(static_cast<std::size_t>(damage_rng_.between(2, size - 1)));
    ++stats_.damaged[static_cast<std::size_t>(Damage::kTruncate)];
  }

  // Keeps the first n bytes at the room last reserved, and counts them.
  void commit(std::size_t n) {
    output_.commit_bytes(n);
    stats_.bytes += n;
  }

  const CaptureSettings &settings_;
  io::OutputBuffer &output_;
  Instrument instrument_;
  Schedule schedule_;
  Rng damage_rng_;
  uint64_t damage_threshold_;
  std::vector<Damage> packet_damage_;
  std::vector<uint8_t> counted_types_;
  uint64_t packets_ = 0;
  CaptureStats stats_;
};

}  // namespace

CaptureStats generate(const CaptureSettings &settings, io::OutputBuffer &out) {
  return CaptureWriter(settings, out).run();
}

}  // namespace capgen
