// Damage routines: each kind changes exactly what it names, and the framer sees it so.
#include <protolib/catalogue.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "capgen/recording/damage.h"
#include "testing/test_packets.h"

namespace {

using capgen::Damage;
using capgen::Rng;

TEST(Damage, NoiseRunsHoldEveryByteButTheSyncBytes) {
  Rng rng(1);
  std::set<uint8_t> seen;
  std::set<size_t> lengths;
  uint8_t run[capgen::kMaxPrefix];
  for (int i = 0; i < 3000; ++i) {
    const size_t length = capgen::write_noise(run, rng);
    ASSERT_GE(length, 1u);
    ASSERT_LE(length, capgen::kMaxPrefix);
    lengths.insert(length);
    seen.insert(run, run + length);
  }
  EXPECT_EQ(seen.count(0x81), 0u);
  EXPECT_EQ(seen.count(0xA1), 0u);
  EXPECT_EQ(seen.size(), 254u);
  EXPECT_EQ(lengths.size(), capgen::kMaxPrefix);
}

TEST(Damage, StraySyncIsALoneFirstSyncByteOrAPair) {
  Rng rng(2);
  std::set<Bytes> seen;
  for (int i = 0; i < 100; ++i) {
    uint8_t out[2];
    seen.insert(Bytes(out, out + capgen::write_stray_sync(out, rng)));
  }
  EXPECT_EQ(seen, (std::set<Bytes>{{0x81}, {0x81, 0xA1}}));
}

// A whole packet's type and payload.
struct Parts {
  uint8_t type;
  Bytes payload;
};

Parts parts_of(const Bytes &packet) {
  return {packet[2], Bytes(packet.begin() + 4, packet.end() - 2)};
}

bool is_prefix(const Bytes &shorter, const Bytes &longer) {
  return shorter.size() <= longer.size() &&
         std::equal(shorter.begin(), shorter.end(), longer.begin());
}

// True when damaged is original with only the byte at index changed.
bool differs_only_at(const Bytes &original, const Bytes &damaged, size_t index) {
  if (damaged.size() != original.size()) return false;
  for (size_t i = 0; i < damaged.size(); ++i) {
    if ((damaged[i] != original[i]) != (i == index)) return false;
  }
  return true;
}

TEST(Damage, EachPacketKindChangesWhatItNames) {
  struct Row {
    Damage kind;
    bool accepted;  // by a framer: the checksums are right
    std::function<bool(const Bytes &original, const Bytes &damaged)> holds;
  };
  const Row rows[] = {
      {Damage::kBadA, false,
       [](const Bytes &o, const Bytes &d) { return differs_only_at(o, d, o.size() - 2); }},
      {Damage::kBadB, false,
       [](const Bytes &o, const Bytes &d) { return differs_only_at(o, d, o.size() - 1); }},
      {Damage::kShort, true,
       [](const Bytes &o, const Bytes &d) {
         const Parts was = parts_of(o), is = parts_of(d);
         return is.type == was.type && is.payload.size() < was.payload.size() &&
                is_prefix(is.payload, was.payload);
       }},
      {Damage::kLong, true,
       [](const Bytes &o, const Bytes &d) {
         const Parts was = parts_of(o), is = parts_of(d);
         return is.type == was.type && is.payload.size() > was.payload.size() &&
                is.payload.size() <= was.payload.size() + 32 && is_prefix(was.payload, is.payload);
       }},
      {Damage::kUnknownType, true,
       [](const Bytes &o, const Bytes &d) {
         const Parts was = parts_of(o), is = parts_of(d);
         return is.type != 0 && !protolib::in_catalogue(is.type) && is.payload == was.payload;
       }},
      {Damage::kType0, true,
       [](const Bytes &o, const Bytes &d) {
         const Parts was = parts_of(o), is = parts_of(d);
         return is.type == 0 && is.payload == was.payload;
       }},
  };
  Rng rng(3);
  for (const Row &row : rows) {
    SCOPED_TRACE(capgen::kDamageNames[static_cast<size_t>(row.kind)]);
    for (int trial = 0; trial < 300; ++trial) {
      Bytes payload(1 + rng.below(254));
      for (uint8_t &byte : payload) byte = rng.byte();
      const uint8_t type = protolib::kCatalogueTypes[rng.below(protolib::kCatalogueTypes.size())];
      const Bytes original = make_packet(type, payload);
      Bytes packet = original;
      packet.resize(261);
      packet.resize(static_cast<size_t>(capgen::damage_packet(
          row.kind, packet.data(), static_cast<int32_t>(original.size()), rng)));

      const Framed framed = frame_in_chunks(packet, {packet.size()});
      ASSERT_EQ(framed.errors, row.accepted ? 0 : 1);
      ASSERT_EQ(framed.packets.size(), row.accepted ? 1u : 0u);
      ASSERT_TRUE(row.holds(original, packet));
    }
  }
}

}  // namespace
