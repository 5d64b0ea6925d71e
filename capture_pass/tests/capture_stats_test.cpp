// The --stats summary: its counts are those of the listed packets and errors, its bytes add
// up to the bytes read, and its table and JSON read as documented.
#include "capture_pass/capture_stats.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <map>
#include <sstream>
#include <string>

#include "testing/dump_harness.h"

namespace {

using capture_pass::CaptureStats;

capture_pass::CaptureStats stats_of(const Bytes &input, bool recover) {
  capture_pass::StatsSink sink(recover);
  MemorySource in(input.data(), input.size());
  const capture_pass::PassTotals totals = capture_pass::dump_pass(in, recover, sink);
  return sink.stats(totals);
}

TEST(CaptureStats, CountsAreThoseOfTheListingAndBytesAddUp) {
  for (const uint64_t seed : {1u, 2u, 3u}) {
    const Bytes input = generated_capture(seed, 3000, 0.3);
    const capture_pass::CaptureStats stats = stats_of(input, true);
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
    for (std::size_t i = 0; i < std::size(capture_pass::kReasonNames); ++i) {
      EXPECT_EQ(stats.rejected_by_reason[i],
                listed[std::string(capture_pass::kReasonNames[i].key)]);
    }
    EXPECT_EQ(stats.recovered, listed["recovered"]);
    EXPECT_EQ(stats.unfinished.has_value(), listed["unfinished"] == 1);
    EXPECT_EQ(stats.packet_bytes + stats.rejected_bytes + stats.noise_bytes +
                  (stats.unfinished ? stats.unfinished->received : 0),
              input.size());
    EXPECT_EQ(stats.bytes_read, input.size());
  }
}

// A damaged recording's packets that are not exact, by form, against the damage capgen says it
// did: with recovery every damaged packet is found, even one a stray sync pair swallowed.
TEST(CaptureStats, FormsAreThoseOfTheDamageDone) {
  capgen::CaptureSettings settings;
  settings.seed = 11;
  settings.max_bytes = 2 << 20;
  settings.damage.set();
  settings.damage_rate = 0.02;
  Bytes input;
  const capgen::CaptureStats made =
      capgen::generate(settings, [&input](const uint8_t *data, std::size_t size) {
        input.insert(input.end(), data, data + size);
        return true;
      });
  const auto damaged = [&made](capgen::Damage kind) {
    return made.damaged[static_cast<std::size_t>(kind)];
  };
  const capture_pass::CaptureStats stats = stats_of(input, true);
  std::array<uint64_t, protolib::kPacketForms> forms{};
  for (const auto &by_form : stats.not_exact) {
    for (std::size_t form = 0; form < forms.size(); ++form) forms[form] += by_form[form];
  }
  using protolib::PacketForm;
  EXPECT_GT(damaged(capgen::Damage::kShort), 0u);
  EXPECT_EQ(forms[static_cast<std::size_t>(PacketForm::kShort)], damaged(capgen::Damage::kShort));
  EXPECT_EQ(forms[static_cast<std::size_t>(PacketForm::kLong)], damaged(capgen::Damage::kLong));
  EXPECT_EQ(forms[static_cast<std::size_t>(PacketForm::kOverCapacity)],
            damaged(capgen::Damage::kOverCount));
  EXPECT_EQ(forms[static_cast<std::size_t>(PacketForm::kUnknown)],
            damaged(capgen::Damage::kUnknownType) + damaged(capgen::Damage::kType0));
}

TEST(CaptureStats, TableAndJsonOfASmallCapture) {
  Bytes bad_b = make_packet(2, counting_payload(3));
  bad_b.back() ^= 1;
  const Bytes input = concat({{1, 2, 3},
                              make_packet(1, counting_payload(8)),
                              bad_b,
                              make_packet(1, counting_payload(8)),
                              {0x81, 0xA1, 0x0A}});
  const capture_pass::CaptureStats stats = stats_of(input, false);
  EXPECT_EQ(capture_pass::stats_table(stats),
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
  EXPECT_EQ(capture_pass::stats_json(stats),
            R"({"bytes_read":43,"packet_bytes":28,"rejected_bytes":9,"noise_bytes":3,)"
            R"("unfinished_bytes":3,"packets":2,"packets_by_type":{"1":2},"not_exact":0,)"
            R"("not_exact_by_type":{},"rejected":1,)"
            R"("rejected_by_reason":{"oversize_length":0,"checksum_a":0,"checksum_b":1},)"
            R"("unfinished":{"offset":40,"received":3}})"
            "\n");
}

}  // namespace
