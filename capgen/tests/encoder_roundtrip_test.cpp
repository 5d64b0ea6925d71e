// The library's record encoders against its decoder: for every catalogue type, random payloads
// come back byte for byte, and random records come back field for field through the ring.
#include <protolib/catalogue.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <numeric>

#include "capgen/instrument/rng.h"
#include "testing/test_packets.h"

namespace {

using capgen::Rng;
using protolib::CatalogueType;
using protolib::Layout;

// Floating-point patterns a careless encoder could change: NaNs with payloads, signalling
// NaNs, negative zero, a subnormal.
const uint64_t kTrickyDoubles[] = {0x7FF0000000000001u, 0xFFF8DEADBEEF0001u, 0x8000000000000000u,
                                   0x0000000000000001u};
const uint32_t kTrickyFloats[] = {0x7FA00001u, 0xFFC00123u, 0x80000000u, 0x00000001u};

// A payload of random bytes; counted types get count_byte and min(count_byte, capacity)
// entries, type-22 entries a tricky pattern in each floating-point field.
// The payload's sizes are the library's (catalogue_test checks them against the wire layouts).
template <typename Record>
Bytes random_payload(Rng &rng, uint8_t count_byte) {
  constexpr protolib::PayloadShape kShape = protolib::payload_shape<Record>();
  const size_t entries = std::min<size_t>(count_byte, kShape.capacity);
  Bytes payload(kShape.fixed + entries * kShape.entry);
  for (uint8_t &byte : payload) byte = rng.byte();
  if (kShape.capacity > 0) payload[kShape.count_offset] = count_byte;
  for (size_t i = 0; CatalogueType<Record>::kType == 22 && i < entries; ++i) {
    uint8_t *entry = payload.data() + kShape.fixed + i * kShape.entry;
    be_write_u32(be_write_u32(entry, static_cast<uint32_t>(kTrickyDoubles[i % 4] >> 32)),
                 static_cast<uint32_t>(kTrickyDoubles[i % 4]));
    be_write_u32(entry + 16, kTrickyFloats[i % 4]);
  }
  return payload;
}

// Makes record what the decode routine makes of payload, from zero bytes as the decoder's own
// records start, with the count byte kept as sent. Filled in place: a copy of a record need not
// keep its padding bytes, which the tests compare.
template <typename Record>
void record_of(const Bytes &payload, Record &record) {
  std::memset(&record, 0, sizeof record);
  Bytes length_and_payload(300, 0);
  length_and_payload[0] = static_cast<uint8_t>(payload.size());
  std::copy(payload.begin(), payload.end(), length_and_payload.begin() + 1);
  CatalogueType<Record>::decode(record, length_and_payload.data());
  if constexpr (requires { record.count; }) {
    record.count = payload[protolib::payload_shape<Record>().count_offset];
  }
}

template <typename Record>
Bytes encoded(const Record &record) {
  Bytes packet(WIRE_MAX_PACKET);
  packet.resize(static_cast<size_t>(CatalogueType<Record>::encode(record, packet.data())));
  return packet;
}

// Bytes of a record up to the end of what a packet sets: all of it, or up to the last entry
// counted.
template <typename Record>
size_t set_bytes(const Record &record) {
  if constexpr (requires { record.count; }) {
    const size_t count = std::min<size_t>(record.count, std::size(record.entries));
    return static_cast<size_t>(reinterpret_cast<const char *>(record.entries + count) -
                               reinterpret_cast<const char *>(&record));
  }
  return sizeof record;
}

// A count from 0 to the capacity; always 0 for the fixed layouts.
template <typename Record>
uint8_t random_count(Rng &rng) {
  return static_cast<uint8_t>(rng.below(protolib::payload_shape<Record>().capacity + 1));
}

// Random payloads: the encoder writes back exactly the bytes the decode routine read, and the
// records come back whole through the ring, fed in random chunk sizes.
TEST(EncoderRoundTrip, RandomRecordsSurviveTheWireAndTheRing) {
  Rng rng(2);
  Bytes stream;
  std::vector<std::function<bool(const PacketDecoder &)>> checks;
  std::vector<uint8_t> types;
  for (int i = 0; i < 700; ++i) {
    const uint8_t type = protolib::kCatalogueTypes[rng.below(protolib::kCatalogueTypes.size())];
    protolib::visit_catalogue_type(type, [&](auto kind) {
      using Record = typename decltype(kind)::Record;
      const Bytes payload = random_payload<Record>(rng, random_count<Record>(rng));
      Record expected;
      record_of(payload, expected);
      const Bytes packet = encoded(expected);
      EXPECT_EQ(packet, make_packet(type, payload)) << "type " << int{type};
      stream.insert(stream.end(), packet.begin(), packet.end());
      types.push_back(type);
      const auto *image = reinterpret_cast<const uint8_t *>(&expected);
      checks.push_back([image = Bytes(image, image + sizeof expected)](const PacketDecoder &d) {
        const Record &latest = d.*Layout<Record>::kSlot;
        return std::memcmp(&latest, image.data(), set_bytes(latest)) == 0;
      });
    });
  }
  DecoderHarness h;
  size_t decoded = 0;
  for (size_t at = 0; at < stream.size();) {
    const size_t n = std::min<size_t>(1 + rng.below(400), stream.size() - at);
    h.feed(
        Bytes(stream.begin() + static_cast<long>(at), stream.begin() + static_cast<long>(at + n)));
    at += n;
    for (uint8_t type = h.step(); type != 0; type = h.step()) {
      ASSERT_LT(decoded, types.size());
      ASSERT_EQ(type, types[decoded]);
      EXPECT_TRUE(checks[decoded](h.decoder())) << "packet " << decoded << " type " << int{type};
      ++decoded;
    }
  }
  EXPECT_EQ(decoded, types.size());
  EXPECT_EQ(h.decoder().framer->errors, 0);
}

// Every count from 0 to past the capacity: the count byte goes out as set, the decoder lowers
// it to the capacity, and entries past it keep what they held.
template <typename Record>
void check_every_count() {
  constexpr uint8_t type = CatalogueType<Record>::kType;
  constexpr size_t capacity = protolib::payload_shape<Record>().capacity;
  Rng rng(3);
  std::vector<unsigned> counts(capacity + 3);
  std::iota(counts.begin(), counts.end(), 0u);
  counts.push_back(255);
  for (unsigned count : counts) {
    SCOPED_TRACE(count);
    const Bytes payload = random_payload<Record>(rng, static_cast<uint8_t>(count));
    Record expected;
    record_of(payload, expected);
    ASSERT_EQ(encoded(expected), make_packet(type, payload));

    DecoderHarness h;
    Record &latest = h.decoder().*Layout<Record>::kSlot;
    // cppcheck-suppress memsetClassFloat ; the bytes, not the values, are what is compared
    std::memset(&latest, 0x5A, sizeof latest);
    h.feed(encoded(expected));
    ASSERT_EQ(h.step(), type);
    const size_t kept = std::min<size_t>(count, capacity);
    EXPECT_EQ(latest.count, kept);
    EXPECT_EQ(std::memcmp(latest.entries, expected.entries, kept * sizeof latest.entries[0]), 0);
    const auto *untouched = reinterpret_cast<const uint8_t *>(latest.entries + kept);
    EXPECT_TRUE(std::all_of(untouched, untouched + (capacity - kept) * sizeof latest.entries[0],
                            [](uint8_t byte) { return byte == 0x5A; }));
  }
}

TEST(EncoderRoundTrip, CountedTypesSendEveryCountAndTheDecoderClampsIt) {
  check_every_count<Type21Record>();
  check_every_count<Type22Record>();
}

}  // namespace
