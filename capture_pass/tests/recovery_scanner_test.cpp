// The framing that goes back after each rejected packet: the packets a rejected one swallowed
// found again, and, on captures, noise and storms of sync pairs read in pieces of any size,
// exactly the packets the library's framer accepts when started again after each rejection.
#include "capture_pass/recovery_scanner.h"

#include <gtest/gtest.h>

#include <vector>

#include "capgen/instrument/rng.h"
#include "testing/dump_harness.h"

namespace {

using capture_pass::FrameEvent;

// Scans stream read in the given sizes through a small window, as the pass does.
std::vector<FrameEvent> scan(const Bytes &stream, std::vector<std::size_t> read_sizes = {}) {
  MemorySource in(stream.data(), stream.size(), std::move(read_sizes));
  capture_pass::ByteWindow window(300);
  capture_pass::RecoveryScanner scanner;
  std::vector<FrameEvent> events;
  while (window.refill(in, scanner.frontier()) > 0) scanner.scan(window, events);
  return events;
}

// The packets the library's framer accepts, fed one byte at a time and fed again after each
// rejected packet from the byte after its sync pair.
std::vector<FrameEvent> framer_restarted_after_rejections(const Bytes &stream) {
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 2);
  PacketFramer *framer = framer_create(ring, FRAMER_ACCEPT_EVERY_LENGTH);
  std::vector<FrameEvent> accepted;
  for (std::size_t at = 0; at < stream.size();) {
    ring_put(ring, stream[at++]);
    const FramerReport report = framer_step(framer);
    const std::size_t start = at - static_cast<std::size_t>(report.size);
    if (report.event == FRAMER_ACCEPTED) accepted.push_back({start, report.event, report.size});
    if (report.event != FRAMER_ACCEPTED && report.event != FRAMER_DRY) at = start + 2;
  }
  framer_destroy(framer);
  ring_destroy(ring);
  return accepted;
}

TEST(RecoveryScanner, FindsThePacketsARejectedOneSwallowed) {
  // A length byte raised from 39 to 80 makes the packet take in the next two and the start of
  // the third, whose type byte is then taken for checksum A.
  Bytes swollen = make_packet(10, counting_payload(39));
  swollen[3] = 80;
  const Bytes stream =
      concat({swollen, make_packet(1, counting_payload(8)), make_packet(15, counting_payload(17)),
              make_packet(2, counting_payload(23)), make_packet(5, {})});
  const std::vector<FrameEvent> found_again = {{45, FRAMER_ACCEPTED, 14},
                                               {59, FRAMER_ACCEPTED, 23},
                                               {82, FRAMER_ACCEPTED, 29},
                                               {111, FRAMER_ACCEPTED, 6}};
  EXPECT_EQ(scan(stream, {1, 9}), found_again);
}

// Bytes drawn from values, count of them.
Bytes drawn(capgen::Rng &rng, const Bytes &values, std::size_t count) {
  Bytes bytes(count);
  for (uint8_t &byte : bytes) byte = values[rng.below(values.size())];
  return bytes;
}

// first, then second.
Bytes joined(Bytes first, const Bytes &second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// pattern, count times over.
Bytes repeated(const Bytes &pattern, std::size_t count) {
  Bytes bytes;
  for (std::size_t i = 0; i < count; ++i) bytes.insert(bytes.end(), pattern.begin(), pattern.end());
  return bytes;
}

TEST(RecoveryScanner, AcceptsWhatTheFramerRestartedAfterEachRejectionAccepts) {
  capgen::Rng rng(9);
  Bytes every_value(256);
  for (std::size_t i = 0; i < every_value.size(); ++i) every_value[i] = static_cast<uint8_t>(i);
  const std::vector<Bytes> streams = {
      generated_capture(2, 1000, 0.3),
      drawn(rng, every_value, 20000),
      drawn(rng, {0x81, 0xA1}, 3000),
      drawn(rng, {0x81, 0xA1, 0x00}, 20000),  // packets of length 0 accepted here and there
      drawn(rng, {0x81, 0xA1, 0x00, 0x01, 0xFF}, 20000),
      repeated({0x81, 0xA1, 0xFF, 0xFF}, 5000),  // checksum A matches every packet tried
      repeated({0x81, 0xA1, 0x81, 0xA1, 0x00, 0x00}, 3000),
      // Packets after kilobytes without a sync byte, where the sums start over.
      joined(drawn(rng, {0x00, 0x55}, 6000), generated_capture(3, 300, 0.3)),
  };
  for (std::size_t i = 0; i < streams.size(); ++i) {
    SCOPED_TRACE(i);
    const std::vector<FrameEvent> expected = framer_restarted_after_rejections(streams[i]);
    EXPECT_EQ(scan(streams[i]), expected);
    EXPECT_EQ(scan(streams[i], {1}), expected);
    EXPECT_EQ(scan(streams[i], {3, 299, 7}), expected);
  }
}

}  // namespace
