// Test helpers: packets built from raw payload bytes, and a stream fed through ring and framer.
#ifndef TESTING_TEST_PACKETS_H
#define TESTING_TEST_PACKETS_H

#include <protolib/decoder.h>
#include <protolib/framer.h>
#include <protolib/ring.h>
#include <protolib/writer.h>

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A complete wire packet of type carrying payload (at most 255 bytes).
inline Bytes make_packet(uint8_t type, const Bytes &payload) {
  Bytes wire(payload.size() + 6);
  uint8_t *end = packet_begin(wire.data(), type);
  for (uint8_t byte : payload) *end++ = byte;
  packet_finish(wire.data(), end);
  return wire;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes &part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// What a framer returned: each packet as type, length, payload; and the final error count.
struct Framed {
  std::vector<Bytes> packets;
  int32_t errors = 0;
  bool operator==(const Framed &) const = default;
};

// Feeds stream through a ring in chunks of the given sizes (the last one repeats), taking every
// packet the framer completes after each chunk.
inline Framed frame_in_chunks(const Bytes &stream, const std::vector<size_t> &chunks,
                              int max_length = 256) {
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 1024);
  PacketFramer *framer = framer_create(ring, max_length);
  Framed framed;
  size_t at = 0;
  for (size_t i = 0; at < stream.size(); ++i) {
    const size_t n = std::min(chunks[std::min(i, chunks.size() - 1)], stream.size() - at);
    ring_write(ring, stream.data() + at, static_cast<int>(n));
    at += n;
    while (const uint8_t *packet = framer_next(framer)) {
      framed.packets.emplace_back(packet, packet + 2 + packet[1]);
    }
  }
  framed.errors = framer->errors;
  framer_destroy(framer);
  ring_destroy(ring);
  return framed;
}

// Payload bytes 0, 1, 2, ... n - 1: every field's value names its offset.
inline Bytes counting_payload(size_t n) {
  Bytes payload(n);
  for (size_t i = 0; i < n; ++i) payload[i] = static_cast<uint8_t>(i);
  return payload;
}

// A decoder over its own 1024-byte ring, freed at the end of the test.
class DecoderHarness {
 public:
  DecoderHarness() {
    ring_create(&ring_, nullptr, 1024);
    decoder_ = decoder_create(ring_);
  }
  ~DecoderHarness() {
    decoder_destroy(decoder_);
    ring_destroy(ring_);
  }
  DecoderHarness(const DecoderHarness &) = delete;
  DecoderHarness &operator=(const DecoderHarness &) = delete;

  PacketDecoder &decoder() { return *decoder_; }
  void feed(const Bytes &bytes) { ring_write(ring_, bytes.data(), static_cast<int>(bytes.size())); }
  uint8_t step() { return decoder_step(decoder_); }
  // Feeds one packet and steps once, returning what the step returned.
  uint8_t decode(uint8_t type, const Bytes &payload) {
    feed(make_packet(type, payload));
    return step();
  }

 private:
  ByteRing *ring_ = nullptr;
  PacketDecoder *decoder_ = nullptr;
};

#endif  // TESTING_TEST_PACKETS_H
