#include <protolib/decoder.h>

#include <gtest/gtest.h>

#include <cstring>

#include "testing/test_packets.h"

namespace {

const Bytes kType1 = {0x81, 0xA1, 0x01, 0x08, 0x00, 0x00, 0x01,
                      0x00, 0xFF, 0xFE, 0x80, 0x00, 0x87, 0x4E};

// The records as one block of bytes, to see whether a step touched any of them.
Bytes records_of(const PacketDecoder &d) {
  const auto *first = reinterpret_cast<const uint8_t *>(&d);
  return Bytes(first, first + offsetof(PacketDecoder, input));
}

TEST(Decoder, CreatesAllZeroRecordsAndDestroysNull) {
  DecoderHarness h;
  EXPECT_EQ(records_of(h.decoder()), Bytes(offsetof(PacketDecoder, input), 0));
  EXPECT_EQ(h.decoder().last_packet, nullptr);
  EXPECT_NE(h.decoder().framer, nullptr);
  decoder_destroy(nullptr);
}

TEST(Decoder, EmptyRingReturnsZeroAndChangesNothing) {
  DecoderHarness h;
  EXPECT_EQ(h.step(), 0);
  EXPECT_EQ(h.decoder().last_packet, nullptr);
}

TEST(Decoder, GoldenType1) {
  DecoderHarness h;
  h.feed(kType1);
  EXPECT_EQ(h.step(), 1);
  const Type1Record &r = h.decoder().rec1;
  EXPECT_EQ(r.fresh, 1);
  EXPECT_EQ(r.lead, 256u);
  EXPECT_EQ(r.uword, 65534);
  EXPECT_EQ(r.word, -32768);
}

// Payload bytes 0, 1, 2, ...: each field's value shows the offset it was read from.
TEST(Decoder, CoreLayoutsReadEveryFieldAtItsOffset) {
  DecoderHarness h;
  ASSERT_EQ(h.decode(2, counting_payload(23)), 2);
  const Type2Record &r2 = h.decoder().rec2;
  EXPECT_EQ(r2.lead, 0x00010203u);
  EXPECT_EQ(r2.words[0], 0x0405);
  EXPECT_EQ(r2.words[3], 0x0A0B);
  EXPECT_EQ(r2.words[8], 0x1415);
  EXPECT_EQ(r2.tail, 0x16);

  ASSERT_EQ(h.decode(10, counting_payload(39)), 10);
  const Type10Record &r10 = h.decoder().rec10;
  EXPECT_EQ(r10.lead, 0x00010203u);
  EXPECT_EQ(r10.words[0], 0x0405);
  EXPECT_EQ(r10.words[8], 0x1415);
  EXPECT_EQ(r10.longs[0], 0x16171819);
  EXPECT_EQ(r10.longs[3], 0x22232425);
  EXPECT_EQ(r10.tail, 0x26);

  ASSERT_EQ(h.decode(12, counting_payload(29)), 12);
  const Type12Record &r12 = h.decoder().rec12;
  EXPECT_EQ(r12.longs[0], 0x04050607);
  EXPECT_EQ(r12.longs[5], 0x18191A1B);
  EXPECT_EQ(r12.tail, 0x1C);

  ASSERT_EQ(h.decode(15, counting_payload(17)), 15);
  const Type15Record &r15 = h.decoder().rec15;
  EXPECT_EQ(r15.uwords[0], 0x0405);
  EXPECT_EQ(r15.uwords[5], 0x0E0F);
  EXPECT_EQ(r15.tail, 0x10);

  ASSERT_EQ(h.decode(20, counting_payload(38)), 20);
  const Type20Record &r20 = h.decoder().rec20;
  EXPECT_EQ(r20.uword_a, 0x0405);
  EXPECT_EQ(r20.uword_b, 0x0607);
  EXPECT_EQ(r20.longs[0], 0x08090A0B);
  EXPECT_EQ(r20.longs[5], 0x1C1D1E1F);
  EXPECT_EQ(r20.uwords[0], 0x2021);
  EXPECT_EQ(r20.uwords[2], 0x2425);

  for (uint8_t fresh : {h.decoder().rec2.fresh, r10.fresh, r12.fresh, r15.fresh, r20.fresh}) {
    EXPECT_EQ(fresh, 1);
  }
  EXPECT_EQ(h.decoder().rec1.fresh, 0);
}

TEST(Decoder, UncataloguedTypeIsReturnedUndecoded) {
  DecoderHarness h;
  h.feed(kType1);
  ASSERT_EQ(h.step(), 1);
  const Bytes before = records_of(h.decoder());
  EXPECT_EQ(h.decode(7, {1, 2, 3}), 7);
  EXPECT_EQ(records_of(h.decoder()), before);
  EXPECT_EQ(h.decoder().framer->errors, 0);
  ASSERT_NE(h.decoder().last_packet, nullptr);
  EXPECT_EQ(Bytes(h.decoder().last_packet, h.decoder().last_packet + 5), (Bytes{7, 3, 1, 2, 3}));
}

TEST(Decoder, TypeZeroPacketLooksLikeAnEmptyRing) {
  DecoderHarness h;
  h.feed(concat({make_packet(0, {}), kType1}));
  EXPECT_EQ(h.step(), 0);
  EXPECT_EQ(h.decoder().last_packet[0], 0);  // a packet was taken all the same
  EXPECT_EQ(h.step(), 1);                    // the bytes after it are still in the ring
}

TEST(Decoder, NextTellsTypeZeroFromAnEmptyRing) {
  DecoderHarness h;
  EXPECT_EQ(decoder_next(&h.decoder()), -1);
  h.feed(concat({make_packet(0, {}), kType1, make_packet(255, {})}));
  EXPECT_EQ(decoder_next(&h.decoder()), 0);
  EXPECT_EQ(decoder_next(&h.decoder()), 1);
  EXPECT_EQ(decoder_next(&h.decoder()), 255);
  EXPECT_EQ(decoder_next(&h.decoder()), -1);
  EXPECT_EQ(h.decoder().rec1.lead, 256u);
}

TEST(Decoder, LatestPacketOfATypeWins) {
  DecoderHarness h;
  h.feed(kType1);
  h.step();
  Bytes second = counting_payload(39);
  second[0] = 0x7F;
  h.decode(10, counting_payload(39));
  h.decode(10, second);
  EXPECT_EQ(h.decoder().rec10.lead, 0x7F010203u);
  EXPECT_EQ(h.decoder().rec1.lead, 256u);
}

// A payload shorter than its layout is decoded all the same; the missing fields come from what
// an earlier, longer packet left in the buffer.
TEST(Decoder, ShortPayloadReadsBytesLeftInTheBuffer) {
  DecoderHarness h;
  Bytes full(29, 0x11);
  h.decode(12, full);
  EXPECT_EQ(h.decode(12, {0, 0, 0, 9}), 12);
  const Type12Record &r = h.decoder().rec12;
  EXPECT_EQ(r.fresh, 1);
  EXPECT_EQ(r.lead, 9u);
  EXPECT_EQ(r.longs[0], 0x11111111);
  EXPECT_EQ(r.tail, 0x11);
}

TEST(Decoder, ShortPayloadOnAFreshDecoderReadsZeros) {
  DecoderHarness h;
  EXPECT_EQ(h.decode(20, {0, 0, 0, 1}), 20);
  EXPECT_EQ(h.decoder().rec20.lead, 1u);
  EXPECT_EQ(h.decoder().rec20.uwords[2], 0);
}

TEST(Decoder, BadChecksumChangesNoRecord) {
  DecoderHarness h;
  Bytes bad = kType1;
  bad[13] ^= 1;
  h.feed(bad);
  EXPECT_EQ(h.step(), 0);
  EXPECT_EQ(records_of(h.decoder()), Bytes(offsetof(PacketDecoder, input), 0));
  EXPECT_EQ(h.decoder().framer->errors, 1);
}

}  // namespace
