#include <protolib/framer.h>

#include <gtest/gtest.h>

#include <climits>

#include "testing/test_packets.h"

namespace {

const Bytes kEmptyType5 = {0x81, 0xA1, 0x05, 0x00, 0x05, 0x0A};
const Bytes kType1 = {0x81, 0xA1, 0x01, 0x08, 0x00, 0x00, 0x01,
                      0x00, 0xFF, 0xFE, 0x80, 0x00, 0x87, 0x4E};

Bytes body(const Bytes &wire) {
  return Bytes(wire.begin() + 2, wire.end() - 2);
}

Bytes with_byte(Bytes wire, size_t index, uint8_t value) {
  wire[index] = value;
  return wire;
}

TEST(FramerCreate, RejectsNegativeLengthAndZeroFillsItsBuffer) {
  EXPECT_EQ(framer_create(nullptr, -1), nullptr);
  PacketFramer *framer = framer_create(nullptr, FRAMER_ACCEPT_EVERY_LENGTH);
  ASSERT_NE(framer, nullptr);
  EXPECT_EQ(framer->state, HUNT_SYNC1);
  EXPECT_EQ(framer->errors, 0);
  EXPECT_EQ(framer->write, framer->buffer);
  for (int i = 0; i < 260; ++i) EXPECT_EQ(framer->buffer[i], 0) << i;
  framer_destroy(framer);
  framer_destroy(nullptr);
}

TEST(Framer, EmptyPacketCompletesOnItsLastByte) {
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 64);
  PacketFramer *framer = framer_create(ring, FRAMER_ACCEPT_EVERY_LENGTH);
  for (size_t i = 0; i + 1 < kEmptyType5.size(); ++i) {
    ring_put(ring, kEmptyType5[i]);
    EXPECT_EQ(framer_next(framer), nullptr) << i;
  }
  ring_put(ring, kEmptyType5.back());
  const uint8_t *packet = framer_next(framer);
  ASSERT_EQ(packet, framer->buffer);
  EXPECT_EQ(packet[0], 0x05);
  EXPECT_EQ(packet[1], 0x00);
  EXPECT_EQ(framer->state, HUNT_SYNC1);
  framer_destroy(framer);
  ring_destroy(ring);
}

// Hand-made streams and the packets and error count the framer must find in them.
TEST(Framer, FindsExactlyTheValidPackets) {
  const Bytes long_packet = make_packet(1, Bytes(255, 0x81));
  struct Case {
    const char *name;
    Bytes stream;
    Framed expected;
  };
  const Case cases[] = {
      {"golden type 1", kType1, {{body(kType1)}, 0}},
      {"noise before", concat({{0x00, 0xA1, 0x13, 0x7F}, kType1}), {{body(kType1)}, 0}},
      {"repeated sync1", concat({{0x81}, kType1}), {{body(kType1)}, 0}},
      {"stray 0x81 then noise", concat({{0x81, 0x01, 0x02, 0x81}, kType1}), {{body(kType1)}, 0}},
      {"bad checksum B",
       concat({with_byte(kType1, 13, 0x4F), kEmptyType5}),
       {{body(kEmptyType5)}, 1}},
      {"bad checksum A",
       concat({with_byte(kType1, 12, 0x00), kEmptyType5}),
       {{body(kEmptyType5)}, 1}},
      {"payload damaged",
       concat({with_byte(kType1, 6, 0x02), kEmptyType5}),
       {{body(kEmptyType5)}, 1}},
      {"length 255", long_packet, {{body(long_packet)}, 0}},
      {"cut off at end",
       concat({kEmptyType5, Bytes(kType1.begin(), kType1.end() - 1)}),
       {{body(kEmptyType5)}, 0}},
      // A false sync consumes a whole would-be packet before it is rejected: the type-5 packet
      // inside it is lost, the next one is found.
      {"false sync in noise",
       concat({{0x81, 0xA1, 0x07, 0x02}, kEmptyType5, kEmptyType5}),
       {{body(kEmptyType5)}, 1}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(frame_in_chunks(c.stream, {c.stream.size()}), c.expected);
  }
}

TEST(Framer, OversizeLengthCountsOnceAndItsPayloadIsScannedAsNoise) {
  const Bytes oversize = make_packet(3, concat({Bytes(2, 0), kEmptyType5, Bytes(1, 0)}));
  ASSERT_EQ(oversize[3], 9);
  const Framed framed = frame_in_chunks(concat({oversize, kEmptyType5}), {1000}, 8);
  EXPECT_EQ(framed, (Framed{{body(kEmptyType5), body(kEmptyType5)}, 1}));
}

TEST(Framer, ErrorsStopAtTheirMaximum) {
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 64);
  PacketFramer *framer = framer_create(ring, FRAMER_ACCEPT_EVERY_LENGTH);
  framer->errors = INT_MAX - 1;
  const Bytes bad = with_byte(kEmptyType5, 5, 0);
  for (int i = 0; i < 3; ++i) {
    ring_write(ring, bad.data(), static_cast<int>(bad.size()));
    EXPECT_EQ(framer_next(framer), nullptr);
  }
  EXPECT_EQ(framer->errors, INT_MAX);
  framer_destroy(framer);
  ring_destroy(ring);
}

// framer_take_errors hands over the rejects counted so far, saturated or not, and counting
// starts again from 0.
TEST(Framer, TakeErrorsReturnsTheCountAndRestartsIt) {
  const Bytes bad_b = with_byte(kEmptyType5, 5, 0);
  const Bytes longest = make_packet(1, Bytes(255, 0x81));
  struct Case {
    const char *name;
    int32_t errors_before;
    Bytes stream;
    int32_t taken;
  };
  const Case cases[] = {
      {"none", 0, concat({kType1, longest}), 0},
      {"two rejects", 0, concat({bad_b, longest, with_byte(kType1, 12, 0)}), 2},
      {"added to the count so far", 5, bad_b, 6},
      {"saturated", INT32_MAX, bad_b, INT32_MAX},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    ByteRing *ring = nullptr;
    ring_create(&ring, nullptr, 1024);
    PacketFramer *framer = framer_create(ring, FRAMER_ACCEPT_EVERY_LENGTH);
    framer->errors = c.errors_before;
    ring_write(ring, c.stream.data(), static_cast<int>(c.stream.size()));
    while (framer_next(framer) != nullptr) {
    }
    EXPECT_EQ(framer_take_errors(framer), c.taken);
    EXPECT_EQ(framer_take_errors(framer), 0);
    ring_write(ring, bad_b.data(), static_cast<int>(bad_b.size()));
    EXPECT_EQ(framer_next(framer), nullptr);
    EXPECT_EQ(framer_take_errors(framer), 1);
    framer_destroy(framer);
    ring_destroy(ring);
  }
}

// Valid and damaged packets, noise and stray sync bytes, and a packet cut off at the end.
Bytes mixed_stream() {
  return concat({
      {0x13, 0x81, 0x00},
      kType1,
      with_byte(kType1, 12, 0x11),  // bad A
      make_packet(10, Bytes(39, 0xA1)),
      {0x81, 0x81},
      make_packet(0, {}),
      with_byte(kEmptyType5, 5, 0x0B),  // bad B
      make_packet(22, Bytes(248, 0x81)),
      {0x81, 0xA1, 0x02, 0x01, 0x00, 0x00},  // false packet with a wrong checksum A
      kEmptyType5,
      Bytes(kType1.begin(), kType1.begin() + 7),  // cut off at the end
  });
}

// A stream of valid and damaged packets gives the same packets and errors however it is split
// across calls: the framer's state carries over completely.
TEST(Framer, ResultDoesNotDependOnHowTheStreamIsSplit) {
  const Bytes stream = mixed_stream();
  const Framed expected{
      {body(kType1), body(make_packet(10, Bytes(39, 0xA1))), body(make_packet(0, {})),
       body(make_packet(22, Bytes(248, 0x81))), body(kEmptyType5)},
      3};
  EXPECT_EQ(frame_in_chunks(stream, {1}), expected);
  for (size_t split = 0; split <= stream.size(); ++split) {
    SCOPED_TRACE(split);
    ASSERT_EQ(frame_in_chunks(stream, {split, stream.size()}), expected);
  }
}

// One decision as a caller sees it: what, and where its packet's sync pair lies in the stream.
struct Decision {
  FramerEvent event;
  int32_t size;
  size_t offset;
  bool operator==(const Decision &) const = default;
};

// Feeds stream in two parts split at split and collects every decision framer_step reports;
// the deciding byte is the last one taken, so ring_count locates it. Returns the decisions and
// the bytes still pending at the end.
std::pair<std::vector<Decision>, int32_t> decisions(const Bytes &stream, size_t split) {
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 1024);
  PacketFramer *framer = framer_create(ring, FRAMER_ACCEPT_EVERY_LENGTH);
  std::vector<Decision> found;
  size_t fed = 0;
  for (const size_t end : {split, stream.size()}) {
    ring_write(ring, stream.data() + fed, static_cast<int>(end - fed));
    fed = end;
    for (FramerReport r = framer_step(framer); r.event != FRAMER_DRY; r = framer_step(framer)) {
      const size_t taken = fed - static_cast<size_t>(ring_count(ring));
      found.push_back({r.event, r.size, taken - static_cast<size_t>(r.size)});
    }
    EXPECT_EQ(ring_count(ring), 0);
  }
  const int32_t pending = framer_pending(framer);
  framer_destroy(framer);
  ring_destroy(ring);
  return {found, pending};
}

// Every decision in the mixed stream, worked out by hand, wherever the stream is split.
TEST(FramerStep, ReportsEachDecisionWithTheBytesItCovers) {
  const Bytes stream = mixed_stream();
  ASSERT_EQ(stream.size(), 363u);
  const std::vector<Decision> expected = {
      {FRAMER_ACCEPTED, 14, 3},        {FRAMER_BAD_CHECKSUM_A, 13, 17}, {FRAMER_ACCEPTED, 45, 31},
      {FRAMER_ACCEPTED, 6, 78},        {FRAMER_BAD_CHECKSUM_B, 6, 84},  {FRAMER_ACCEPTED, 254, 90},
      {FRAMER_BAD_CHECKSUM_A, 6, 344}, {FRAMER_ACCEPTED, 6, 350},
  };
  for (size_t split = 0; split <= stream.size(); ++split) {
    SCOPED_TRACE(split);
    ASSERT_EQ(decisions(stream, split), std::make_pair(expected, int32_t{7}));
  }
}

TEST(FramerStep, OversizeLengthCoversTheHeaderOnly) {
  const Bytes stream = concat({Bytes{0x00}, make_packet(3, Bytes(9, 0)), kEmptyType5});
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 64);
  PacketFramer *framer = framer_create(ring, 8);
  ring_write(ring, stream.data(), static_cast<int>(stream.size()));
  const FramerReport oversize = framer_step(framer);
  EXPECT_EQ(oversize.event, FRAMER_OVERSIZE_LENGTH);
  EXPECT_EQ(oversize.size, 4);
  EXPECT_EQ(ring_count(ring), static_cast<int>(stream.size()) - 5);
  const FramerReport accepted = framer_step(framer);
  EXPECT_EQ(accepted.event, FRAMER_ACCEPTED);
  EXPECT_EQ(accepted.size, 6);
  EXPECT_EQ(framer_step(framer).event, FRAMER_DRY);
  EXPECT_EQ(framer->errors, 1);
  framer_destroy(framer);
  ring_destroy(ring);
}

// framer_pending counts from the sync pair, byte by byte through a packet, and is 0 while
// hunting (a lone 0x81 may be noise).
TEST(FramerStep, PendingCountsTheBytesOfThePacketInProgress) {
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 64);
  PacketFramer *framer = framer_create(ring, FRAMER_ACCEPT_EVERY_LENGTH);
  const Bytes stream = concat({{0x42, 0x81}, kType1});
  const std::vector<int32_t> expected = {0, 0, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0};
  for (size_t i = 0; i < stream.size(); ++i) {
    ring_put(ring, stream[i]);
    framer_step(framer);
    EXPECT_EQ(framer_pending(framer), expected[i]) << i;
  }
  framer_destroy(framer);
  ring_destroy(ring);
}

}  // namespace
