// Capture, JSON Lines, capture: for any capture of valid packets, capdump's listing read back by
// capgen --from-jsonl gives the same bytes, whatever the types, lengths, counts and
// floating-point bit patterns.
#include <protolib/catalogue.hpp>

#include <gtest/gtest.h>

#include <bit>

#include "capgen/instrument/rng.h"
#include "capgen/jsonl/jsonl_reader.h"
#include "testing/dump_harness.h"
#include "testing/memory_io.h"

namespace {

// capgen's reading of capdump's listing of capture.
Bytes round_trip(const Bytes &capture) {
  const std::string text = json_lines(capture, false, false).text;
  MemorySource listing(reinterpret_cast<const uint8_t *>(text.data()), text.size());
  Bytes back;
  const std::string error = capgen::packets_from_jsonl(listing, "listing", "listing",
                                                       [&back](const uint8_t *data, std::size_t n) {
                                                         back.insert(back.end(), data, data + n);
                                                         return true;
                                                       });
  EXPECT_EQ(error, "");
  return back;
}

template <typename Record>
Bytes encoded(const Record &record) {
  Bytes packet(WIRE_MAX_PACKET);
  packet.resize(
      static_cast<std::size_t>(protolib::CatalogueType<Record>::encode(record, packet.data())));
  return packet;
}

// Bit patterns a careless float path changes: NaNs with payloads, a signalling NaN, infinities,
// negative zero, subnormals, and 7.038531e-26, whose shortest text read as a double and rounded
// again to float gives the next float.
const uint64_t kDoubles[] = {0x7FF0000000000001u, 0xFFF8DEADBEEF0001u, 0x7FF0000000000000u,
                             0x8000000000000000u, 0x0000000000000001u, 0x3FB999999999999Au};
const uint32_t kFloats[] = {0x7FA00001u, 0xFFC00123u, 0xFF800000u,
                            0x80000000u, 0x00000001u, 0x15AE43FDu};

TEST(RoundTrip, CountedTypesAtEveryCountAndEveryFloatPattern) {
  Bytes capture;
  Type21Record rec21{};
  Type22Record rec22{};
  for (uint8_t count = 0; count <= 17; ++count) {
    rec21.count = count;
    rec22.count = count;
    for (std::size_t i = 0; i < TYPE22_CAPACITY; ++i) {
      rec21.entries[i].value = static_cast<int16_t>(-i);
      rec22.entries[i].d1 = std::bit_cast<double>(kDoubles[(i + count) % 6]);
      rec22.entries[i].d2 = std::bit_cast<double>(kDoubles[(i + count + 1) % 6]);
      rec22.entries[i].f = std::bit_cast<float>(kFloats[(i + count) % 6]);
    }
    capture = concat({capture, encoded(rec21), encoded(rec22)});
  }
  EXPECT_EQ(round_trip(capture), capture);
}

TEST(RoundTrip, EveryTypeAtEveryLengthWithRandomPayloads) {
  capgen::Rng rng(8);
  Bytes capture;
  for (unsigned type = 0; type < 256; type += 1 + rng.below(4)) {
    for (std::size_t length : {std::size_t{0}, std::size_t{255}, std::size_t{rng.below(256)}}) {
      Bytes payload(length);
      for (uint8_t &byte : payload) byte = rng.byte();
      capture = concat({capture, make_packet(static_cast<uint8_t>(type), payload)});
    }
  }
  EXPECT_EQ(round_trip(capture), capture);
}

TEST(RoundTrip, RecordingsWithPacketsOfEveryValidKind) {
  capgen::CaptureSettings settings;
  settings.max_packets = 20000;
  settings.max_bytes = capgen::kNoLimit;
  for (const char *kind : {"short", "long", "over-count", "unknown-type", "type0"}) {
    settings.damage.set(static_cast<std::size_t>(*capgen::damage_from_name(kind)));
  }
  settings.damage_rate = 0.3;
  Bytes capture;
  capgen::generate(settings, [&capture](const uint8_t *data, std::size_t size) {
    capture.insert(capture.end(), data, data + size);
    return true;
  });
  EXPECT_EQ(round_trip(capture), capture);
}

}  // namespace
