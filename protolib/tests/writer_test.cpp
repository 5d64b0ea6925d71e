#include <protolib/writer.h>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "testing/test_packets.h"

namespace {

// Bytes written by one writer call, checked against the position it returned.
template <typename Writer, typename Value>
Bytes written(Writer writer, Value value, size_t width) {
  Bytes out(16, 0xCC);
  const uint8_t *end = writer(out.data(), value);
  EXPECT_EQ(end, out.data() + width);
  EXPECT_EQ(out[width], 0xCC);  // nothing stored past the field
  out.resize(width);
  return out;
}

TEST(Writer, FieldEncodingsAreBigEndian) {
  EXPECT_EQ(written(be_write_u16, uint16_t{258}, 2), (Bytes{0x01, 0x02}));
  EXPECT_EQ(written(be_write_i16, int16_t{-2}, 2), (Bytes{0xFF, 0xFE}));
  EXPECT_EQ(written(be_write_u32, uint32_t{258}, 4), (Bytes{0, 0, 0x01, 0x02}));
  EXPECT_EQ(written(be_write_i32, int32_t{-1}, 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(written(be_write_f32, 1.0f, 4), (Bytes{0x3F, 0x80, 0, 0}));
  EXPECT_EQ(written(be_write_f32, -2.5f, 4), (Bytes{0xC0, 0x20, 0, 0}));
  EXPECT_EQ(written(be_write_f64, 1.0, 8), (Bytes{0x3F, 0xF0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(written(be_write_f64, -2.5, 8), (Bytes{0xC0, 0x04, 0, 0, 0, 0, 0, 0}));
}

TEST(Writer, GoldenPackets) {
  uint8_t buf[300] = {};
  EXPECT_EQ(packet_finish(buf, packet_begin(buf, 5)), 6);
  EXPECT_EQ(Bytes(buf, buf + 6), (Bytes{0x81, 0xA1, 0x05, 0x00, 0x05, 0x0A}));

  uint8_t *pos = be_write_u32(packet_begin(buf, 26), 258);
  for (uint8_t raw : Bytes{0x0A, 0x0B, 0x0C}) *pos++ = raw;
  EXPECT_EQ(packet_finish(buf, pos), 13);
  EXPECT_EQ(Bytes(buf, buf + 13),
            (Bytes{0x81, 0xA1, 0x1A, 0x07, 0, 0, 0x01, 0x02, 0x0A, 0x0B, 0x0C, 0x45, 0x6F}));

  std::fill(std::begin(buf), std::end(buf), 0xCC);
  pos = packet_begin(buf, 1);
  std::fill(pos, pos + 255, 0);
  EXPECT_EQ(packet_finish(buf, pos + 255), 261);
  EXPECT_EQ(buf[3], 0xFF);
  EXPECT_EQ(buf[259], 0x00);
  EXPECT_EQ(buf[260], 0x01);
}

TEST(Writer, FinishTwiceWritesTheSameBytes) {
  uint8_t buf[32];
  uint8_t *end = be_write_i32(packet_begin(buf, 9), -123456);
  packet_finish(buf, end);
  const Bytes first(buf, buf + 10);
  packet_finish(buf, end);
  EXPECT_EQ(Bytes(buf, buf + 10), first);
}

// Every payload length the length byte can carry passes the framer unchanged and uncounted.
TEST(Writer, EveryPayloadLengthPassesTheFramer) {
  std::mt19937 rng(7);
  Bytes stream;
  std::vector<Bytes> bodies;
  for (int length = 0; length <= 255; ++length) {
    Bytes payload(static_cast<size_t>(length));
    for (auto &byte : payload) byte = static_cast<uint8_t>(rng());
    const auto type = static_cast<uint8_t>(rng());
    const Bytes wire = make_packet(type, payload);
    stream.insert(stream.end(), wire.begin(), wire.end());
    bodies.push_back(concat({{type, static_cast<uint8_t>(length)}, payload}));
  }
  EXPECT_EQ(frame_in_chunks(stream, {1}), (Framed{bodies, 0}));
}

// Random values of every width come back from the readers unchanged, floats bit for bit
// (NaN payloads and negative zero included).
TEST(Writer, ReadersInvertWriters) {
  std::mt19937_64 rng(11);
  const uint32_t special32[] = {0x7FC00001u, 0xFF800000u, 0x80000000u, 0x00000001u};
  const uint64_t special64[] = {0x7FF0000000000001ull, 0xFFF8000000000000ull,
                                0x8000000000000000ull};
  for (int i = 0; i < 2000; ++i) {
    const uint64_t r = rng();
    const uint32_t bits32 = i < 4 ? special32[i] : static_cast<uint32_t>(r);
    const uint64_t bits64 = i < 3 ? special64[i] : r;
    uint8_t buf[32];
    uint8_t *end = be_write_u16(buf, static_cast<uint16_t>(r));
    end = be_write_i16(end, static_cast<int16_t>(r >> 16));
    end = be_write_u32(end, static_cast<uint32_t>(r >> 8));
    end = be_write_i32(end, static_cast<int32_t>(r >> 24));
    end = be_write_f32(end, std::bit_cast<float>(bits32));
    end = be_write_f64(end, std::bit_cast<double>(bits64));
    ASSERT_EQ(end - buf, 24);
    const uint8_t *cursor = buf;
    ASSERT_EQ(be_read_u16(&cursor), static_cast<uint16_t>(r));
    ASSERT_EQ(be_read_i16(&cursor), static_cast<int16_t>(r >> 16));
    ASSERT_EQ(be_read_u32(&cursor), static_cast<uint32_t>(r >> 8));
    ASSERT_EQ(be_read_i32(&cursor), static_cast<int32_t>(r >> 24));
    ASSERT_EQ(std::bit_cast<uint32_t>(be_read_f32(&cursor)), bits32);
    ASSERT_EQ(std::bit_cast<uint64_t>(be_read_f64(&cursor)), bits64);
    ASSERT_EQ(cursor, buf + 24);
  }
}

}  // namespace
