// The further catalogue types: fixed layouts 3, 9, 23, 25, 26, 27 and counted lists 21, 22.
#include <protolib/decoder.h>
#include <protolib/catalogue.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include "testing/test_packets.h"

namespace {

// Payload of a type-21 packet: lead, info, count byte, then groups; group g is eight bytes of
// value g + 1 (so entry value is 0x0101 * (g + 1)).
Bytes type21_payload(uint8_t count_byte, int groups) {
  Bytes payload = {0, 0, 0, 5, 0x42, count_byte};
  for (int g = 0; g < groups; ++g) payload.insert(payload.end(), 8, static_cast<uint8_t>(g + 1));
  return payload;
}

TEST(Catalogue, GoldenType3) {
  DecoderHarness h;
  EXPECT_EQ(h.decode(3, {0, 0, 1, 2, 0, 1, 0xFF, 0xFF, 0x80, 0, 7}), 3);
  const Type3Record &r = h.decoder().rec3;
  EXPECT_EQ(r.lead, 258u);
  EXPECT_EQ(r.words[0], 1);
  EXPECT_EQ(r.words[1], -1);
  EXPECT_EQ(r.words[2], -32768);
  EXPECT_EQ(r.tail, 7);
  EXPECT_EQ(r.fresh, 1);
}

TEST(Catalogue, FixedLayoutsReadEveryFieldAtItsOffset) {
  DecoderHarness h;
  ASSERT_EQ(h.decode(9, counting_payload(32)), 9);
  const Type9Record &r9 = h.decoder().rec9;
  EXPECT_EQ(r9.words[0], 0x0001);
  EXPECT_EQ(r9.words[8], 0x1011);
  EXPECT_EQ(r9.uwords[0], 0x1213);
  EXPECT_EQ(r9.uwords[3], 0x1819);
  EXPECT_EQ(r9.uword, 0x1A1B);
  EXPECT_EQ(r9.ulong, 0x1C1D1E1Fu);

  ASSERT_EQ(h.decode(23, counting_payload(20)), 23);
  const Type23Record &r23 = h.decoder().rec23;
  EXPECT_EQ(r23.long_a, 0x04050607);
  EXPECT_EQ(r23.long_b, 0x08090A0B);
  EXPECT_EQ(r23.ulong_a, 0x0C0D0E0Fu);
  EXPECT_EQ(r23.ulong_b, 0x10111213u);

  ASSERT_EQ(h.decode(25, counting_payload(16)), 25);
  const Type25Record &r25 = h.decoder().rec25;
  EXPECT_EQ(r25.ulong, 0x04050607u);
  EXPECT_EQ(r25.uword, 0x0809);
  EXPECT_EQ(Bytes(r25.bytes, r25.bytes + 6), (Bytes{10, 11, 12, 13, 14, 15}));

  ASSERT_EQ(h.decode(27, counting_payload(16)), 27);
  const Type27Record &r27 = h.decoder().rec27;
  EXPECT_EQ(r27.ulong, 0x04050607u);
  EXPECT_EQ(r27.long_a, 0x08090A0B);
  EXPECT_EQ(r27.uword, 0x0C0D);
  EXPECT_EQ(Bytes(r27.bytes, r27.bytes + 2), (Bytes{14, 15}));
}

TEST(Catalogue, Type23SignedAndUnsignedFromTheSameBytes) {
  DecoderHarness h;
  Bytes payload(20, 0);
  for (size_t at : {4u, 12u}) {
    payload[at] = payload[at + 1] = payload[at + 2] = 0xFF;
    payload[at + 3] = 0xFE;
  }
  h.decode(23, payload);
  EXPECT_EQ(h.decoder().rec23.long_a, -2);
  EXPECT_EQ(h.decoder().rec23.ulong_a, 4294967294u);
}

TEST(Catalogue, LengthByteDoesNotChangeWhatIsRead) {
  DecoderHarness h;
  Bytes long26 = counting_payload(20);
  h.decode(26, long26);
  const Type26Record &r26 = h.decoder().rec26;
  EXPECT_EQ(r26.lead, 0x00010203u);
  EXPECT_EQ(Bytes(r26.bytes, r26.bytes + 3), (Bytes{4, 5, 6}));

  // Type 25 with a 10-byte payload still sets its six raw bytes, from the buffer's earlier
  // content (the 20-byte type-26 payload above).
  EXPECT_EQ(h.decode(25, Bytes(10, 0xEE)), 25);
  const Type25Record &r25 = h.decoder().rec25;
  EXPECT_EQ(r25.fresh, 1);
  EXPECT_EQ(r25.uword, 0xEEEE);
  EXPECT_EQ(Bytes(r25.bytes, r25.bytes + 6), (Bytes{10, 11, 12, 13, 14, 15}));
}

TEST(Catalogue, Type21CountIsClampedAndLaterEntriesKeepTheirValues) {
  struct Step {
    uint8_t count_byte;
    int groups;
    uint8_t count;
    int16_t entry15_value;  // entries[15].value after the step
  };
  DecoderHarness h;
  const Step steps[] = {
      {20, 20, 16, 0x1010},  // groups 17..20 ignored
      {2, 2, 2, 0x1010},     // entries 2..15 keep the first packet's groups
      {0, 0, 0, 0x1010},
      {255, 16, 16, 0x1010},
  };
  for (const Step &s : steps) {
    SCOPED_TRACE(static_cast<int>(s.count_byte));
    ASSERT_EQ(h.decode(21, type21_payload(s.count_byte, s.groups)), 21);
    const Type21Record &r = h.decoder().rec21;
    EXPECT_EQ(r.lead, 5u);
    EXPECT_EQ(r.info, 0x42);
    EXPECT_EQ(r.count, s.count);
    EXPECT_EQ(r.entries[15].value, s.entry15_value);
    EXPECT_EQ(r.entries[0].bytes[5], 1);
    EXPECT_EQ(r.entries[0].value, 0x0101);
  }
}

TEST(Catalogue, Type21CountTwoOverwritesOnlyTwoEntries) {
  DecoderHarness h;
  h.decode(21, type21_payload(16, 16));
  Bytes second = {0, 0, 0, 1, 0, 2};
  second.insert(second.end(), 16, 0xAB);
  h.decode(21, second);
  const Type21Record &r = h.decoder().rec21;
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(r.entries[1].value, static_cast<int16_t>(0xABAB));
  EXPECT_EQ(r.entries[2].value, 0x0303);
}

TEST(Catalogue, GoldenType22Entry) {
  DecoderHarness h;
  Bytes payload = {0, 0, 0, 1, 0x12, 0x34, 9, 1};
  const Bytes entry = {0x3F, 0xF0, 0, 0, 0,    0,    0,    0,    0xC0, 0x04, 0, 0,
                       0,    0,    0, 0, 0xC0, 0x20, 0x00, 0x00, 1,    2,    3, 4};
  payload.insert(payload.end(), entry.begin(), entry.end());
  ASSERT_EQ(h.decode(22, payload), 22);
  const Type22Record &r = h.decoder().rec22;
  EXPECT_EQ(r.uword, 0x1234);
  EXPECT_EQ(r.info, 9);
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.entries[0].d1, 1.0);
  EXPECT_EQ(r.entries[0].d2, -2.5);
  EXPECT_EQ(r.entries[0].f, -2.5f);
  EXPECT_EQ(Bytes(r.entries[0].bytes, r.entries[0].bytes + 4), (Bytes{1, 2, 3, 4}));
}

TEST(Catalogue, Type22CountAboveCapacityReadsLikeCapacity) {
  Bytes payload = {0, 0, 0, 1, 0, 0, 0, 0};
  for (int i = 0; i < 240; ++i) payload.push_back(static_cast<uint8_t>(i * 7));
  DecoderHarness clamped;
  DecoderHarness exact;
  payload[7] = 255;
  clamped.decode(22, payload);
  payload[7] = 10;
  exact.decode(22, payload);
  EXPECT_EQ(clamped.decoder().rec22.count, 10);
  EXPECT_EQ(std::memcmp(&clamped.decoder().rec22, &exact.decoder().rec22, sizeof(Type22Record)), 0);
}

// The description against the payload sizes worked out by hand from the wire layouts.
TEST(Description, TypesAndPayloadSizesAreThoseOfTheWireLayouts) {
  using Sizes = std::tuple<unsigned, size_t, size_t>;  // type, fixed payload, one entry
  const std::vector<Sizes> expected = {
      {1, 8, 0},   {2, 23, 0}, {3, 11, 0},  {9, 32, 0},  {10, 39, 0}, {12, 29, 0}, {15, 17, 0},
      {20, 38, 0}, {21, 6, 8}, {22, 8, 24}, {23, 20, 0}, {25, 16, 0}, {26, 7, 0},  {27, 16, 0},
  };
  std::vector<Sizes> described;
  protolib::for_each_catalogue_type([&](auto kind) {
    using Record = typename decltype(kind)::Record;
    described.emplace_back(kind.kType, protolib::fixed_payload_size<Record>(),
                           protolib::entry_size<Record>());
  });
  EXPECT_EQ(described, expected);
  EXPECT_TRUE(protolib::in_catalogue(27));
  EXPECT_FALSE(protolib::in_catalogue(0));
  EXPECT_FALSE(protolib::in_catalogue(4));
}

TEST(Encoders, GoldenPackets) {
  const Type1Record r1{0, 256, 0xFFFE, -32768};
  Bytes wire(WIRE_MAX_PACKET);
  wire.resize(static_cast<size_t>(encode_type1(&r1, wire.data())));
  EXPECT_EQ(wire, (Bytes{0x81, 0xA1, 0x01, 0x08, 0x00, 0x00, 0x01, 0x00, 0xFF, 0xFE, 0x80, 0x00,
                         0x87, 0x4E}));

  Type22Record r22{};
  r22.lead = 1;
  r22.uword = 0x1234;
  r22.info = 9;
  r22.count = 1;
  r22.entries[0] = {1.0, -2.5, -2.5f, {1, 2, 3, 4}};
  r22.entries[1].d1 = 7.0;  // past count: not sent
  wire.resize(WIRE_MAX_PACKET);
  wire.resize(static_cast<size_t>(encode_type22(&r22, wire.data())));
  EXPECT_EQ(wire,
            make_packet(22, {0,    0,    0, 1, 0x12, 0x34, 9, 1, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0,
                             0xC0, 0x04, 0, 0, 0,    0,    0, 0, 0xC0, 0x20, 0, 0, 1, 2, 3, 4}));
}

// Every catalogue type: a packet of its layout's size decodes and encodes back to itself.
TEST(Encoders, InvertTheDecoders) {
  protolib::for_each_catalogue_type([](auto kind) {
    using Record = typename decltype(kind)::Record;
    SCOPED_TRACE(static_cast<int>(kind.kType));
    const size_t entries = protolib::entry_size<Record>() > 0 ? 3 : 0;
    Bytes payload = counting_payload(protolib::fixed_payload_size<Record>() +
                                     entries * protolib::entry_size<Record>());
    if (entries > 0) payload[protolib::fixed_payload_size<Record>() - 1] = 3;  // the count byte
    const Bytes packet = make_packet(kind.kType, payload);
    Record record{};
    kind.decode(record, packet.data() + 3);
    Bytes wire(WIRE_MAX_PACKET);
    wire.resize(static_cast<size_t>(kind.encode(record, wire.data())));
    EXPECT_EQ(wire, packet);
  });
}

// Every catalogue type decoded with decode_payload from every payload length up to past its
// longest, with the byte after the payload never 0: the same record as the C routine makes from
// the payload followed by zero bytes.
TEST(DecodePayload, ReadsAShortPayloadAsZeroFilledAndNothingPastIt) {
  protolib::for_each_catalogue_type([](auto kind) {
    using Record = typename decltype(kind)::Record;
    constexpr protolib::PayloadShape kShape = protolib::payload_shape<Record>();
    const std::vector<int> counts =
        kShape.capacity > 0 ? std::vector<int>{0, 2, static_cast<int>(kShape.capacity), 255}
                            : std::vector<int>{-1};
    for (const int count : counts) {
      Bytes payload = counting_payload(kShape.longest() + 2);
      for (uint8_t &byte : payload) byte = static_cast<uint8_t>(byte | 0x80);
      if (count >= 0) payload[kShape.count_offset] = static_cast<uint8_t>(count);
      for (size_t length = 0; length <= payload.size(); ++length) {
        SCOPED_TRACE(std::to_string(kind.kType) + " count " + std::to_string(count) + " length " +
                     std::to_string(length));
        Bytes held(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(length));
        held.push_back(0xEE);  // read past the payload, it would show in the record
        Bytes padded(1 + WIRE_MAX_PAYLOAD, 0);
        std::copy(held.begin(), held.end() - 1, padded.begin() + 1);
        Record expected;
        Record decoded;
        std::memset(&expected, 0, sizeof expected);
        std::memset(&decoded, 0, sizeof decoded);
        kind.decode(expected, padded.data());
        protolib::decode_payload(decoded, held.data(), length);
        EXPECT_EQ(std::memcmp(&decoded, &expected, sizeof(Record)), 0);
      }
    }
  });
}

// decode_into_slot fills the slot of a catalogue type as its decode routine does and nothing
// else; other types change nothing.
TEST(DecodeIntoSlot, DecodesCatalogueTypesIntoTheirSlotOnly) {
  std::size_t decoded = 0;
  for (int type = 0; type < 256; ++type) {
    SCOPED_TRACE(type);
    const Bytes packet = make_packet(static_cast<uint8_t>(type), counting_payload(255));
    PacketDecoder decoder;
    PacketDecoder expected;
    // cppcheck-suppress memsetClassFloat ; the bytes, not the values, are what is compared
    std::memset(&decoder, 0, sizeof decoder);
    // cppcheck-suppress memsetClassFloat
    std::memset(&expected, 0, sizeof expected);
    const bool known = protolib::visit_catalogue_type(static_cast<unsigned>(type), [&](auto kind) {
      kind.decode(expected.*protolib::Layout<typename decltype(kind)::Record>::kSlot,
                  packet.data() + 3);
    });
    EXPECT_EQ(protolib::decode_into_slot(decoder, packet.data() + 2), known);
    EXPECT_EQ(std::memcmp(&decoder, &expected, sizeof decoder), 0);
    decoded += known ? 1 : 0;
  }
  EXPECT_EQ(decoded, protolib::kCatalogueTypes.size());
}

// The hooks walk_layout calls, in order: s scalar, a array, c counted entries.
TEST(WalkLayout, CallsTheHookOfEachDescriptionsKindInWireOrder) {
  const auto kinds = [](auto owner) {
    std::string called;
    protolib::walk_layout<decltype(owner)>(protolib::LayoutHooks{
        [&](const auto &) { called += 's'; }, [&](const auto &) { called += 'a'; },
        [&](const auto &) { called += 'c'; }});
    return called;
  };
  EXPECT_EQ(kinds(Type9Record{}), "aass");
  EXPECT_EQ(kinds(Type21Record{}), "ssc");
  EXPECT_EQ(kinds(Type22Entry{}), "sssa");
}

// ---- The layout checks, on layouts made wrong on purpose ----------------------------------

// A record (fresh, then a scalar, an array and counted entries) and an entry (no fresh), one
// type for each layout tried.
template <int Variant>
struct Trial {
  uint8_t fresh;
  uint32_t a;
  int16_t b[3];
  uint8_t n;
  Type21Entry list[4];
};
template <int Variant>
struct TrialEntry {
  uint16_t x;
  float y;
};

}  // namespace

template <int V>
constexpr auto kCounted = protolib::CountedEntries("n", &Trial<V>::n, "list", &Trial<V>::list);
template <int V>
constexpr auto kA = protolib::Field("a", &Trial<V>::a);
template <int V>
constexpr auto kB = protolib::Field("b", &Trial<V>::b);

// Layout<Trial<V>> for each variant: 0 right, 1 a member missing, 2 two swapped, 3 a member
// twice, 4 fresh described; Layout<TrialEntry<V>>: 0 right, 1 swapped.
template <>
struct protolib::Layout<Trial<0>> {
  static constexpr uint8_t kType = 200;
  static constexpr auto kFields = std::tuple(kA<0>, kB<0>, kCounted<0>);
};
template <>
struct protolib::Layout<Trial<1>> {
  static constexpr uint8_t kType = 200;
  static constexpr auto kFields = std::tuple(kA<1>, kCounted<1>);
};
template <>
struct protolib::Layout<Trial<2>> {
  static constexpr uint8_t kType = 200;
  static constexpr auto kFields = std::tuple(kB<2>, kA<2>, kCounted<2>);
};
template <>
struct protolib::Layout<Trial<3>> {
  static constexpr uint8_t kType = 200;
  static constexpr auto kFields = std::tuple(kA<3>, kB<3>, kCounted<3>, kA<3>);
};
template <>
struct protolib::Layout<Trial<4>> {
  static constexpr uint8_t kType = 200;
  static constexpr auto kFields =
      std::tuple(protolib::Field("fresh", &Trial<4>::fresh), kA<4>, kB<4>, kCounted<4>);
};
template <>
struct protolib::Layout<TrialEntry<0>> {
  static constexpr auto kFields =
      std::tuple(protolib::Field("x", &TrialEntry<0>::x), protolib::Field("y", &TrialEntry<0>::y));
};
template <>
struct protolib::Layout<TrialEntry<1>> {
  static constexpr auto kFields =
      std::tuple(protolib::Field("y", &TrialEntry<1>::y), protolib::Field("x", &TrialEntry<1>::x));
};

namespace {

// Whether Layout<Owner> lists every member, and in their order.
template <typename Owner>
constexpr std::pair<bool, bool> verdict() {
  return {protolib::layout_lists_every_member<Owner>(), protolib::layout_in_member_order<Owner>()};
}
static_assert(verdict<Trial<0>>() == std::pair(true, true));
static_assert(verdict<Trial<1>>() == std::pair(false, true));
static_assert(verdict<Trial<2>>() == std::pair(true, false));
static_assert(verdict<Trial<3>>() == std::pair(false, false));
static_assert(verdict<Trial<4>>() == std::pair(false, false));
static_assert(verdict<TrialEntry<0>>() == std::pair(true, true));
static_assert(verdict<TrialEntry<1>>() == std::pair(true, false));

}  // namespace
