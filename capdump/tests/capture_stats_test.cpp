// The --stats summary: its counts are those of the listed packets and errors, its bytes add
// up to the bytes read, and its table and JSON read as documented.
#include "capture_stats.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <sstream>
#include <string>

#include "dump_harness.h"

namespace {

using capdump::CaptureStats;

CaptureStats stats_of(const Bytes &input, bool recover) {
  capdump::StatsSink sink(recover);
  MemorySource in(input.data(), input.size());
  const capdump::PassTotals totals = capdump::dump_pass(in, recover, sink);
  return sink.stats(totals);
}

TEST(CaptureStats, CountsAreThoseOfTheListingAndBytesAddUp) {
  for (const uint64_t seed : {1u, 2u, 3u}) {
    const Bytes input = generated_capture(seed, 3000, 0.3);
    const CaptureStats stats = stats_of(input, true);
    std::map<std::string, uint64_t> listed;  // "type N", error values, "recovered"
    std::istringstream lines(json_lines(input, true, true).text);
    for (std::string line; std::getline(lines, line);) {
      const nlohmann::json object = nlohmann::json::parse(line);
      if (object.contains("error")) {
        ++listed[object["error"].get<std::string>()];
      } else {
        ++listed["type " + std::to_string(object["type"].get<int>())];
        if (object.contains("recovered")) ++listed["recovered"];
      }
    }
    for (std::size_t type = 0; type < 256; ++type) {
      EXPECT_EQ(stats.packets_by_type[type], listed["type " + std::to_string(type)]) << type;
    }
    for (std::size_t i = 0; i < std::size(capdump::kReasonNames); ++i) {
      EXPECT_EQ(stats.rejected_by_reason[i], listed[std::string(capdump::kReasonNames[i].key)]);
    }
    EXPECT_EQ(stats.recovered, listed["recovered"]);
    EXPECT_EQ(stats.unfinished.has_value(), listed["unfinished"] == 1);
    EXPECT_EQ(stats.packet_bytes + stats.rejected_bytes + stats.noise_bytes +
                  (stats.unfinished ? stats.unfinished->received : 0),
              input.size());
    EXPECT_EQ(stats.bytes_read, input.size());
  }
}

TEST(CaptureStats, TableAndJsonOfASmallCapture) {
  Bytes bad_b = make_packet(2, counting_payload(3));
  bad_b.back() ^= 1;
  const Bytes input = concat({{1, 2, 3},
                              make_packet(1, counting_payload(8)),
                              bad_b,
                              make_packet(1, counting_payload(8)),
                              {0x81, 0xA1, 0x0A}});
  const CaptureStats stats = stats_of(input, false);
  EXPECT_EQ(capdump::stats_table(stats),
            "bytes read                               43\n"
            "  in packets                             28\n"
            "  in rejected packets                     9\n"
            "  noise                                   3\n"
            "  in an unfinished packet                 3\n"
            "packets                                   2\n"
            "  type 1                                  2\n"
            "packets not exact                         0\n"
            "rejected packets                          1\n"
            "  oversize length                         0\n"
            "  checksum A                              0\n"
            "  checksum B                              1\n"
            "unfinished packet            3 bytes at offset 40\n");
  EXPECT_EQ(capdump::stats_json(stats),
            R"({"bytes_read":43,"packet_bytes":28,"rejected_bytes":9,"noise_bytes":3,)"
            R"("unfinished_bytes":3,"packets":2,"packets_by_type":{"1":2},"not_exact":0,)"
            R"("not_exact_by_type":{},"rejected":1,)"
            R"("rejected_by_reason":{"oversize_length":0,"checksum_a":0,"checksum_b":1},)"
            R"("unfinished":{"offset":40,"received":3}})"
            "\n");
}

}  // namespace
