// fuzz_capture.h - the capture a fuzz input describes, either byte for byte or as steps that
// include whole packets with correct checksums, which a fuzzer rarely finds by mutation alone.
#ifndef PROTOLIB_FUZZ_FUZZ_CAPTURE_H
#define PROTOLIB_FUZZ_FUZZ_CAPTURE_H

#include <algorithm>
#include <array>
#include <cstddef>

#include "fuzz/fuzz_input.h"
#include "testing/test_packets.h"

// Reads a mode byte and the rest of the input. An even mode takes the rest as the capture. An
// odd mode reads steps until the input ends, each a step byte s and then:
// - s below 0x80: s + 1 bytes copied as they are (noise, damage, cut-off packets);
// - otherwise a packet: a type byte, a length byte L and L payload bytes (zero past the end of
//   the input), sent with both checksums correct.
inline Bytes fuzz_capture(FuzzInput &input) {
  if (input.byte() % 2 == 0) {
    Bytes rest(input.rest(), input.rest() + input.rest_size());
    input.skip(rest.size());
    return rest;
  }
  Bytes capture;
  // Built in place, a run of input bytes copied at once: the harnesses' own work, kept small.
  const auto append_input = [&capture, &input](std::size_t n) {
    const std::size_t have = std::min(n, input.rest_size());
    const std::size_t at = capture.size();
    capture.resize(at + n);  // zero past the end of the input
    std::copy(input.rest(), input.rest() + have, capture.begin() + static_cast<std::ptrdiff_t>(at));
    input.skip(have);
  };
  while (input.rest_size() > 0) {
    const uint8_t step = input.byte();
    if (step < 0x80) {
      append_input(step + 1u);
      continue;
    }
    const uint8_t type = input.byte();
    const uint8_t length = input.byte();
    const std::size_t start = capture.size();
    capture.resize(start + WIRE_HEADER_SIZE);
    append_input(length);
    capture.resize(capture.size() + WIRE_CHECKSUM_SIZE);
    uint8_t *wire = capture.data() + start;
    packet_finish(wire, packet_begin(wire, type) + length);
  }
  return capture;
}

// The packets the library's framer accepts in capture, each as it is sent (sync pair and
// checksums included), back to back. Equal to capture exactly when capture is nothing but valid
// packets.
inline Bytes accepted_packets(const Bytes &capture) {
  Bytes packets;
  for (const Bytes &packet : frame_in_chunks(capture, {1023}).packets) {
    const Bytes wire = make_packet(packet[0], Bytes(packet.begin() + 2, packet.end()));
    packets.insert(packets.end(), wire.begin(), wire.end());
  }
  return packets;
}

// What the library's framer (every length byte accepted) finds in a capture fed 1023 bytes at a
// time, as accepted_packets feeds it, counted without keeping the packets.
struct FramerTally {
  std::array<uint64_t, 256> packets{};  // accepted packets by type byte
  uint64_t packet_bytes = 0;            // their bytes as sent, sync pair and checksums included
  int32_t errors = 0;                   // the framer's error count at the end
};

inline FramerTally framer_tally(const uint8_t *capture, std::size_t size) {
  constexpr std::size_t kChunk = 1023;
  ByteRing *ring = nullptr;
  FUZZ_REQUIRE(ring_create(&ring, nullptr, kChunk + 1) == 0);
  PacketFramer *framer = framer_create(ring, FRAMER_ACCEPT_EVERY_LENGTH);
  FramerTally tally;
  for (std::size_t at = 0; at < size; at += kChunk) {
    ring_write(ring, capture + at, static_cast<int>(std::min(kChunk, size - at)));
    while (const uint8_t *packet = framer_next(framer)) {
      ++tally.packets[packet[0]];
      tally.packet_bytes += 6u + packet[1];
    }
  }
  tally.errors = framer->errors;
  framer_destroy(framer);
  ring_destroy(ring);
  return tally;
}

#endif  // PROTOLIB_FUZZ_FUZZ_CAPTURE_H
