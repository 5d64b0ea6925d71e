// The listing run in process, with memory input and output: what it has listed when a read fails
// part-way, and that it stops reading once the output has failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "listing/dumpten_line.h"
#include "listing/listing.h"
#include "testing/memory_io.h"
#include "testing/test_packets.h"

namespace {

// Refuses every write, as a full disk does.
class FailingSink final : public io::ByteSink {
 public:
  bool write(const char *, std::size_t) override { return false; }
};

// Lists what source serves as dumpten does, with the lines going to out_sink, after a framer that
// has already rejected errors_before packets.
listing::ListingCounts list_type10(MemorySource &source, io::ByteSink &out_sink,
                                   int32_t errors_before = 0) {
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 1024);
  PacketDecoder *decoder = decoder_create(ring);
  decoder->framer->errors = errors_before;
  StringSink progress_sink;
  auto out = std::make_unique<io::OutputBuffer>(out_sink, false);
  auto progress = std::make_unique<io::OutputBuffer>(progress_sink, false);
  listing::DumptenLine line;
  const listing::ListingCounts counts =
      listing::list_stream(10, line, *decoder, source, *out, *progress);
  out->flush();
  decoder_destroy(decoder);
  ring_destroy(ring);
  return counts;
}

Bytes type10_packets(std::size_t count) {
  const Bytes one = make_packet(10, counting_payload(39));
  Bytes all;
  for (std::size_t i = 0; i < count; ++i) all.insert(all.end(), one.begin(), one.end());
  return all;
}

TEST(ListStream, ReadFailingPartWayKeepsWhatCameBefore) {
  const Bytes capture = type10_packets(5);
  struct Case {
    const char *name;
    std::vector<std::size_t> read_sizes;
    std::size_t fail_at;
    unsigned long lines;
  };
  const Case cases[] = {
      {"first read fails", {}, 0, 0},
      {"third read of one packet each fails", {45}, 2, 2},
      {"a read ending inside a packet, then failure", {70}, 1, 1},
      {"failure after the last byte", {}, 1, 5},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    MemorySource source(capture.data(), capture.size(), c.read_sizes, c.fail_at);
    StringSink out;
    const listing::ListingCounts counts = list_type10(source, out);
    EXPECT_TRUE(counts.read_failed);
    EXPECT_EQ(counts.lines, c.lines);
    EXPECT_EQ(static_cast<unsigned long>(std::count(out.text.begin(), out.text.end(), '\n')),
              c.lines);
  }
}

TEST(ListStream, FailedOutputStopsTheReading) {
  // 20000 packets in reads of 64 KiB: the lines of the first read overflow the output buffer, so
  // its write fails and no second read is made.
  const Bytes capture = type10_packets(20000);
  MemorySource source(capture.data(), capture.size());
  FailingSink out;
  const listing::ListingCounts counts = list_type10(source, out);
  EXPECT_EQ(source.reads(), 1u);
  EXPECT_EQ(counts.lines, 65536u / 45);
  EXPECT_FALSE(counts.read_failed);
}

TEST(ListStream, CountsPacketErrorsPastTheFramersLimit) {
  Bytes damaged = make_packet(10, counting_payload(39));
  damaged.back() ^= 1;  // checksum B wrong
  // Each rejection in a ring refill of its own: the framer saturates at INT32_MAX within one.
  damaged.resize(1100, 0);
  const Bytes capture = concat({damaged, damaged, damaged});
  MemorySource source(capture.data(), capture.size());
  StringSink out;
  const listing::ListingCounts counts = list_type10(source, out, INT32_MAX - 1);
  EXPECT_EQ(counts.packet_errors, uint64_t{INT32_MAX} + 2);
  EXPECT_EQ(counts.lines, 0u);
}

}  // namespace
