// The framer against a plain byte-at-a-time model of its state machine: on random streams fed
// in random chunks through rings of several sizes, every call must leave the same state, counts,
// sums and buffer contents, and return the same packets.
#include <protolib/framer.h>

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "testing/test_packets.h"

namespace {

// The state machine exactly as defined, one ring_get per byte.
struct ModelFramer {
  int32_t max_length;
  uint32_t state = HUNT_SYNC1;
  int32_t errors = 0;
  Bytes buffer = Bytes(260, 0);
  size_t write = 0;
  uint8_t remaining = 0, sum_a = 0, sum_b = 0;

  void reject() {
    if (errors < INT_MAX) ++errors;
    state = HUNT_SYNC1;
  }

  // Returns true when a packet completed.
  bool next(ByteRing *ring) {
    for (int next = ring_get(ring); next >= 0; next = ring_get(ring)) {
      const auto byte = static_cast<uint8_t>(next);
      switch (state) {
        case HUNT_SYNC1:
          state = byte == 0x81 ? HUNT_SYNC2 : HUNT_SYNC1;
          break;
        case HUNT_SYNC2:
          state = byte == 0xA1 ? READ_TYPE : HUNT_SYNC2;
          break;
        case READ_TYPE:
          write = 0;
          buffer[write++] = byte;
          sum_a = sum_b = byte;
          state = READ_LENGTH;
          break;
        case READ_LENGTH:
          if (byte > max_length) {
            reject();
            break;
          }
          buffer[write++] = byte;
          remaining = byte;
          sum_a = static_cast<uint8_t>(sum_a + byte);
          sum_b = static_cast<uint8_t>(sum_b + sum_a);
          state = byte > 0 ? READ_PAYLOAD : CHECK_A;
          break;
        case READ_PAYLOAD:
          buffer[write++] = byte;
          sum_a = static_cast<uint8_t>(sum_a + byte);
          sum_b = static_cast<uint8_t>(sum_b + sum_a);
          if (--remaining == 0) state = CHECK_A;
          break;
        case CHECK_A:
          if (byte == sum_a) {
            state = CHECK_B;
          } else {
            reject();
          }
          break;
        default:
          if (byte != sum_b) {
            reject();
            break;
          }
          state = HUNT_SYNC1;
          return true;
      }
    }
    return false;
  }
};

// A stream rich in what the framer must get right: valid packets, damaged ones, sync bytes in
// noise and payloads, lengths near the limits.
Bytes random_stream(std::minstd_rand &rng, size_t packets) {
  Bytes stream;
  auto byte = [&] { return static_cast<uint8_t>(rng()); };
  for (size_t i = 0; i < packets; ++i) {
    switch (rng() % 5) {
      case 0:  // noise with sync bytes
        for (auto n = rng() % 40; n > 0; --n) {
          const auto pick = rng() % 4;
          stream.push_back(pick == 0 ? 0x81 : pick == 1 ? 0xA1 : byte());
        }
        break;
      default: {
        Bytes payload(rng() % 3 == 0 ? 255 - rng() % 4 : rng() % 60);
        for (auto &b : payload) b = rng() % 8 == 0 ? 0x81 : byte();
        Bytes wire = make_packet(byte(), payload);
        if (rng() % 4 == 0)
          wire[2 + rng() % (wire.size() - 2)] ^= static_cast<uint8_t>(1 + rng() % 255);
        if (rng() % 10 == 0) wire.resize(rng() % wire.size());  // cut short
        stream.insert(stream.end(), wire.begin(), wire.end());
      }
    }
  }
  return stream;
}

TEST(FramerModel, MatchesTheByteAtATimeStateMachine) {
  std::minstd_rand rng(424242);
  for (int round = 0; round < 60; ++round) {
    const auto ring_size = static_cast<unsigned>(round % 3 == 0 ? 1024 : 7 + rng() % 300);
    const int max_length = round % 4 == 0 ? static_cast<int>(rng() % 256) : 256;
    SCOPED_TRACE(::testing::Message()
                 << "round " << round << " ring " << ring_size << " max " << max_length);
    const Bytes stream = random_stream(rng, 200);
    ByteRing *fast_ring = nullptr;
    ByteRing *model_ring = nullptr;
    ring_create(&fast_ring, nullptr, ring_size);
    ring_create(&model_ring, nullptr, ring_size);
    PacketFramer *framer = framer_create(fast_ring, max_length);
    ModelFramer model{max_length};
    for (size_t at = 0; at < stream.size();) {
      const size_t n = std::min<size_t>(1 + rng() % (ring_size - 1), stream.size() - at);
      ring_write(fast_ring, stream.data() + at, static_cast<int>(n));
      ring_write(model_ring, stream.data() + at, static_cast<int>(n));
      at += n;
      for (;;) {
        const uint8_t *packet = framer_next(framer);
        const bool model_packet = model.next(model_ring);
        ASSERT_EQ(packet != nullptr, model_packet);
        ASSERT_EQ(framer->state, model.state);
        ASSERT_EQ(framer->errors, model.errors);
        ASSERT_EQ(framer->remaining, model.remaining);
        ASSERT_EQ(framer->sum_a, model.sum_a);
        ASSERT_EQ(framer->sum_b, model.sum_b);
        ASSERT_EQ(static_cast<size_t>(framer->write - framer->buffer), model.write);
        ASSERT_TRUE(std::equal(framer->buffer, framer->buffer + model.write, model.buffer.begin()));
        ASSERT_EQ(fast_ring->read_pos - fast_ring->start, model_ring->read_pos - model_ring->start);
        if (packet == nullptr) break;
        ASSERT_EQ(packet, framer->buffer);
      }
    }
    framer_destroy(framer);
    ring_destroy(fast_ring);
    ring_destroy(model_ring);
  }
}

}  // namespace
