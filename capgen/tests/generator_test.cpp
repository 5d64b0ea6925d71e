// The generator: determinism, limits, the recording's shape, and damage counts that agree with
// what the library's framer and decoder find in the capture.
#include <protolib/catalogue.hpp>
#include <protolib/packet_form.hpp>

#include <gtest/gtest.h>

#include <algorithm>

#include "capgen/recording/generator.h"
#include "capgen/recording/report.h"
#include "testing/test_packets.h"

namespace {

using capgen::CaptureSettings;
using capgen::CaptureStats;
using capgen::Damage;
using capgen::kNoLimit;

struct Capture {
  Bytes bytes;
  CaptureStats stats;
};

Capture generate(const CaptureSettings &settings) {
  Capture capture;
  capture.stats = capgen::generate(settings, [&capture](const uint8_t *data, size_t size) {
    capture.bytes.insert(capture.bytes.end(), data, data + size);
    return true;
  });
  return capture;
}

CaptureSettings damaged(std::initializer_list<Damage> kinds, double rate, uint64_t seed = 1) {
  CaptureSettings settings;
  settings.max_bytes = 300000;
  settings.seed = seed;
  settings.damage_rate = rate;
  for (Damage kind : kinds) settings.damage.set(static_cast<size_t>(kind));
  return settings;
}

uint64_t damaged_by(const CaptureStats &stats, Damage kind) {
  return stats.damaged[static_cast<size_t>(kind)];
}

// Packets the framer accepts in bytes, by type byte.
std::array<uint64_t, 256> accepted_by_type(const Framed &framed) {
  std::array<uint64_t, 256> counts{};
  for (const Bytes &packet : framed.packets) ++counts[packet[0]];
  return counts;
}

uint64_t whole_packets(const CaptureStats &stats) {
  uint64_t sum = 0;
  for (uint64_t count : stats.packets_by_type) sum += count;
  return sum;
}

TEST(Generator, SameSettingsGiveSameBytesAndAnotherSeedOthers) {
  for (const CaptureSettings &settings :
       {CaptureSettings{}, damaged({Damage::kNoise, Damage::kStraySync, Damage::kOverCount,
                                    Damage::kLong, Damage::kTruncate},
                                   0.3)}) {
    const Capture first = generate(settings);
    const Capture again = generate(settings);
    CaptureSettings reseeded = settings;
    reseeded.seed = settings.seed + 1;
    EXPECT_EQ(first.bytes, again.bytes);
    EXPECT_EQ(first.stats.damaged, again.stats.damaged);
    EXPECT_NE(first.bytes, generate(reseeded).bytes);
  }
}

TEST(Generator, StopsAtTheByteOrPacketLimit) {
  struct Row {
    uint64_t max_bytes;
    uint64_t max_packets;
    uint64_t packets;  // whole packets expected, or kNoLimit when the byte limit decides
  };
  const Row rows[] = {
      {kNoLimit, 1000, 1000}, {50000, kNoLimit, kNoLimit}, {50000, 10, 10}, {0, kNoLimit, 0}};
  for (const Row &row : rows) {
    SCOPED_TRACE(row.max_bytes);
    SCOPED_TRACE(row.max_packets);
    CaptureSettings settings;
    settings.max_bytes = row.max_bytes;
    settings.max_packets = row.max_packets;
    const Capture capture = generate(settings);
    EXPECT_EQ(capture.stats.bytes, capture.bytes.size());
    if (row.packets != kNoLimit) {
      EXPECT_EQ(whole_packets(capture.stats), row.packets);
    } else {  // at least the limit, and over it by less than one packet
      EXPECT_GE(capture.bytes.size(), row.max_bytes);
      EXPECT_LT(capture.bytes.size(), row.max_bytes + 261);
    }
  }
}

TEST(Generator, DefaultRecordingHoldsEveryTypeWithType10Every10Ms) {
  const Capture capture = generate(CaptureSettings{});
  const Framed framed = frame_in_chunks(capture.bytes, {1000});
  EXPECT_EQ(framed.errors, 0);
  EXPECT_EQ(accepted_by_type(framed), capture.stats.packets_by_type);
  for (uint8_t type : protolib::kCatalogueTypes) EXPECT_GT(capture.stats.packets_by_type[type], 0u);
  EXPECT_GT(capture.stats.packets_by_type[10] * 2, whole_packets(capture.stats));

  uint32_t previous_lead = 0;
  for (const Bytes &packet : framed.packets) {
    if (packet[0] != 10) continue;
    const uint8_t *cursor = packet.data() + 2;
    const uint32_t lead = be_read_u32(&cursor);
    if (previous_lead != 0) {
      ASSERT_EQ(lead - previous_lead, 10u);
    }
    previous_lead = lead;
  }
}

TEST(Generator, TypesLimitTheRecording) {
  for (const capgen::TypeSet &types :
       {capgen::TypeSet().set(10).set(20), capgen::TypeSet().set(25)}) {
    CaptureSettings settings;
    settings.types = types;
    settings.max_packets = 50;
    const Capture capture = generate(settings);
    for (size_t type = 0; type < 256; ++type) {
      EXPECT_EQ(capture.stats.packets_by_type[type] > 0, types[type]) << "type " << type;
    }
  }
}

TEST(Generator, FramerRejectsExactlyThePacketsWithWrongChecksums) {
  for (uint64_t seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(seed);
    const Capture capture =
        generate(damaged({Damage::kNoise, Damage::kBadA, Damage::kBadB}, 0.05, seed));
    const CaptureStats &stats = capture.stats;
    ASSERT_GT(damaged_by(stats, Damage::kNoise), 0u);
    ASSERT_GT(damaged_by(stats, Damage::kBadA), 0u);
    ASSERT_GT(damaged_by(stats, Damage::kBadB), 0u);
    const Framed framed = frame_in_chunks(capture.bytes, {1000});
    EXPECT_EQ(static_cast<uint64_t>(framed.errors),
              damaged_by(stats, Damage::kBadA) + damaged_by(stats, Damage::kBadB));
    EXPECT_EQ(accepted_by_type(framed), stats.accepted_by_type);
  }
}

TEST(Generator, DamageWithRightChecksumsKeepsEveryPacket) {
  const Capture capture =
      generate(damaged({Damage::kNoise, Damage::kShort, Damage::kLong, Damage::kOverCount,
                        Damage::kUnknownType, Damage::kType0},
                       0.2));
  const CaptureStats &stats = capture.stats;
  const Framed framed = frame_in_chunks(capture.bytes, {1000});
  EXPECT_EQ(framed.errors, 0);
  EXPECT_EQ(accepted_by_type(framed), stats.packets_by_type);
  EXPECT_EQ(stats.accepted_by_type, stats.packets_by_type);

  uint64_t over_count = 0;
  uint64_t unknown = 0;
  for (const Bytes &packet : framed.packets) {
    const uint8_t type = packet[0];
    if (type != 0 && !protolib::in_catalogue(type)) ++unknown;
    if (protolib::packet_form(packet.data()) == protolib::PacketForm::kOverCapacity) ++over_count;
  }
  EXPECT_EQ(over_count, damaged_by(stats, Damage::kOverCount));
  EXPECT_EQ(unknown, damaged_by(stats, Damage::kUnknownType));
  EXPECT_EQ(stats.packets_by_type[0], damaged_by(stats, Damage::kType0));
  for (Damage kind : {Damage::kNoise, Damage::kShort, Damage::kLong, Damage::kOverCount,
                      Damage::kUnknownType, Damage::kType0}) {
    EXPECT_GT(damaged_by(stats, kind), 0u) << capgen::kDamageNames[static_cast<size_t>(kind)];
  }
}

TEST(Generator, TruncateEndsTheCaptureWithAPacketCutOff) {
  CaptureSettings settings = damaged({Damage::kTruncate}, 0.01);
  settings.max_packets = 200;
  const Capture capture = generate(settings);
  EXPECT_EQ(damaged_by(capture.stats, Damage::kTruncate), 1u);
  const Framed framed = frame_in_chunks(capture.bytes, {1000});
  EXPECT_EQ(framed.errors, 0);
  ASSERT_EQ(framed.packets.size(), 200u);
  size_t whole = 0;
  for (const Bytes &packet : framed.packets) whole += packet.size() + 4;
  const size_t cut = capture.bytes.size() - whole;
  EXPECT_GE(cut, 2u);
  EXPECT_LT(cut, 261u);
  EXPECT_EQ(capture.bytes[whole], 0x81);
  EXPECT_EQ(capture.bytes[whole + 1], 0xA1);
}

TEST(Generator, HandsBoundedBlocksAndStopsWhenTheSinkFails) {
  for (const bool random_bytes : {false, true}) {
    SCOPED_TRACE(random_bytes);
    CaptureSettings settings;
    settings.random_bytes = random_bytes;
    settings.max_bytes = 3 << 20;
    size_t largest = 0;
    capgen::generate(settings, [&largest](const uint8_t *, size_t size) {
      largest = std::max(largest, size);
      return true;
    });
    EXPECT_GT(largest, 30000u);
    EXPECT_LE(largest, size_t{64} << 10);

    settings.max_bytes = kNoLimit;  // only the failure can end the capture
    int calls = 0;
    capgen::generate(settings, [&calls](const uint8_t *, size_t) {
      ++calls;
      return false;
    });
    EXPECT_EQ(calls, 1);
  }
}

TEST(Generator, ReportListsTypesKindsAndBytes) {
  CaptureStats stats;
  stats.packets_by_type[10] = 1200;
  stats.packets_by_type[0] = 3;
  stats.packets_by_type[4] = 2;
  stats.packets_by_type[200] = 1;
  stats.damaged[static_cast<size_t>(Damage::kType0)] = 3;
  stats.damaged[static_cast<size_t>(Damage::kUnknownType)] = 3;
  stats.bytes = 54321;
  EXPECT_EQ(capgen::format_report(stats),
            "packets by type:\n"
            "  type 0                    3\n"
            "  type 10                1200\n"
            "  other types               3\n"
            "  all                    1206\n"
            "damaged packets by kind:\n"
            "  unknown-type              3\n"
            "  type0                     3\n"
            "bytes in total: 54321\n");
  EXPECT_NE(capgen::format_report(CaptureStats{}).find("damaged packets by kind:\n  none\n"),
            std::string::npos);
}

}  // namespace

namespace {

TEST(Generator, RandomBytesHoldEveryByteValueAndNoRecording) {
  CaptureSettings settings;
  settings.random_bytes = true;
  settings.max_bytes = 100003;  // not a multiple of the 8 bytes drawn at a time
  const Capture first = generate(settings);
  ASSERT_EQ(first.bytes.size(), settings.max_bytes);
  EXPECT_EQ(first.stats.bytes, settings.max_bytes);
  EXPECT_EQ(whole_packets(first.stats), 0u);
  std::array<size_t, 256> histogram{};
  for (uint8_t byte : first.bytes) ++histogram[byte];
  // About 390 of each value; a stuck or short-ranged generator falls far outside this band.
  EXPECT_GT(*std::min_element(histogram.begin(), histogram.end()), 250u);
  EXPECT_LT(*std::max_element(histogram.begin(), histogram.end()), 550u);
  EXPECT_EQ(generate(settings).bytes, first.bytes);
  settings.seed = 2;
  EXPECT_NE(generate(settings).bytes, first.bytes);
}

}  // namespace
