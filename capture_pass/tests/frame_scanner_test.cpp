// The scanner that runs the library's framer: the offset, reason and size of every packet on a
// stream laid out by hand, and the same packets and error count as the framer alone.
#include "capture_pass/frame_scanner.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "capgen/instrument/rng.h"
#include "testing/dump_harness.h"

namespace {

using capture_pass::FrameEvent;
using capture_pass::FrameScanner;

struct Scan {
  std::vector<capture_pass::FrameEvent> events;
  uint64_t noise_bytes = 0;
  std::optional<uint64_t> in_progress;
};

// Scans stream read in the given sizes through a small window, as the pass does.
Scan scan(const Bytes &stream, int max_length, std::vector<std::size_t> read_sizes = {}) {
  MemorySource in(stream.data(), stream.size(), std::move(read_sizes));
  capture_pass::ByteWindow window(300);
  capture_pass::FrameScanner scanner(max_length);
  Scan result;
  while (window.refill(in, scanner.frontier()) > 0) scanner.scan(window, result.events);
  result.noise_bytes = scanner.noise_bytes();
  result.in_progress = scanner.packet_in_progress();
  return result;
}

Bytes with_byte(Bytes packet, std::size_t index, uint8_t value) {
  packet[index] = value;
  return packet;
}

// Offsets in comments; every checksum byte here is neither 0x81 nor 0xA1.
const Bytes kType1 = make_packet(1, counting_payload(8));       // 14 bytes
const Bytes kType2 = make_packet(2, counting_payload(23));      // 29 bytes
const Bytes kType15 = make_packet(15, counting_payload(17));    // 23 bytes
const Bytes kBadA = make_packet(3, counting_payload(11));       // 17 bytes
const Bytes kBadB = make_packet(26, counting_payload(7));       // 13 bytes
const Bytes kEmpty = make_packet(5, {});                        // 6 bytes
const Bytes kLong = make_packet(200, counting_payload(40));     // 46 bytes
const Bytes kCut = Bytes(kType2.begin(), kType2.begin() + 10);  // 10 of 29 bytes
const Bytes kStream = concat({
    {0x00, 0x11},                               // 0: noise
    kType1,                                     // 2
    {0x81, 0x22},                               // 16: a stray 0x81, noise
    kType2,                                     // 18: its 0x81 is skipped while hunting
    {0x81, 0x33},                               // 47: the pair's 0xA1 is 0x33's neighbour
    Bytes(kType15.begin() + 1, kType15.end()),  // 49: 0xA1, the rest of a packet
    with_byte(kBadA, 15, kBadA[15] ^ 0x10),     // 71: checksum A wrong, B left as noise
    with_byte(kBadB, 12, kBadB[12] ^ 0x01),     // 88: checksum B wrong
    kEmpty,                                     // 101
    kLong,                                      // 107: length 40
    kCut,                                       // 153: cut off by the end, 163
});

TEST(FrameScanner, ReportsEachPacketAtItsSyncPairWithItsReason) {
  const std::vector<capture_pass::FrameEvent> expected = {
      {2, FRAMER_ACCEPTED, 14},        {18, FRAMER_ACCEPTED, 29},       {48, FRAMER_ACCEPTED, 23},
      {71, FRAMER_BAD_CHECKSUM_A, 16}, {88, FRAMER_BAD_CHECKSUM_B, 13}, {101, FRAMER_ACCEPTED, 6},
      {107, FRAMER_ACCEPTED, 46}};
  for (const std::vector<std::size_t> &reads : {std::vector<std::size_t>{}, {1}, {2, 5}, {13}}) {
    SCOPED_TRACE(reads.empty() ? 0 : reads[0]);
    const Scan result = scan(kStream, 256, reads);
    EXPECT_EQ(result.events, expected);
    EXPECT_EQ(result.noise_bytes, 2u + 2 + 1 + 1);  // before 2, 18 and 48, and after 71
    EXPECT_EQ(result.in_progress, 153u);
  }
}

TEST(FrameScanner, OversizeLengthRejectsAtTheLengthByteAndHuntsThroughThePayload) {
  const Scan result = scan(kStream, 39, {7});
  ASSERT_EQ(result.events.size(), 7u);
  EXPECT_EQ(result.events[6], (capture_pass::FrameEvent{107, FRAMER_OVERSIZE_LENGTH, 4}));
  EXPECT_EQ(result.noise_bytes, 6u + 42);  // the payload and checksums of the long packet
}

// The accepted packets' bytes in the stream, and the count of rejections.
Framed framed_by_scanner(const Bytes &stream, const Scan &result) {
  Framed framed;
  for (const capture_pass::FrameEvent &e : result.events) {
    if (e.reason != FRAMER_ACCEPTED) {
      ++framed.errors;
      continue;
    }
    const auto type = static_cast<std::ptrdiff_t>(e.offset + 2);
    framed.packets.emplace_back(stream.begin() + type,
                                stream.begin() + type + 2 + stream[e.offset + 3]);
  }
  return framed;
}

TEST(FrameScanner, FindsWhatTheFramerAloneFinds) {
  capgen::Rng rng(5);
  Bytes noise(1 << 16);
  for (uint8_t &byte : noise) byte = rng.byte();
  Bytes syncs;
  for (int i = 0; i < 3000; ++i) syncs.push_back(rng.below(3) == 0 ? 0xA1 : 0x81);
  for (const Bytes &stream : {generated_capture(1, 3000, 0.3), noise, syncs, kStream}) {
    const Framed alone = frame_in_chunks(stream, {1000});
    EXPECT_EQ(framed_by_scanner(stream, scan(stream, FRAMER_ACCEPT_EVERY_LENGTH, {4096})), alone);
    EXPECT_EQ(framed_by_scanner(stream, scan(stream, 256, {1, 700})), alone);
  }
}

}  // namespace
