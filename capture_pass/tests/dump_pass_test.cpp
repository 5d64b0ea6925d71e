// The pass over a whole capture: its output does not depend on how reads divide the input,
// recovery only adds packets (marked) to the standard listing, and a read error keeps what
// came before it; the packets it finds, written back raw, are a capture the framer takes whole.
#include "capture_pass/dump_pass.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

#include "capdump/src/raw_packets.h"
#include "capgen/instrument/rng.h"
#include "testing/dump_harness.h"

namespace {

constexpr std::size_t kNoiseSize = 20000;

// Damaged recordings, and noise with every byte value.
std::vector<Bytes> damaged_inputs() {
  capgen::Rng rng(11);
  Bytes noise(kNoiseSize);
  for (uint8_t &byte : noise) byte = rng.byte();
  return {generated_capture(3, 3000, 0.25), generated_capture(4, 3000, 1.0), noise};
}

TEST(DumpPass, OutputDoesNotDependOnHowReadsDivideTheInput) {
  for (const Bytes &input : damaged_inputs()) {
    for (bool recover : {false, true}) {
      const std::string whole = json_lines(input, recover, true).text;
      EXPECT_EQ(json_lines(input, recover, true, {1}).text, whole);
      EXPECT_EQ(json_lines(input, recover, true, {3, 1000, 7}).text, whole);
    }
  }
}

TEST(DumpPass, RecoveryOnlyAddsPacketsMarkedRecovered) {
  for (const Bytes &input : damaged_inputs()) {
    std::istringstream recovered_listing(json_lines(input, true, true).text);
    std::string standard_part;
    std::size_t recovered = 0;
    for (std::string line; std::getline(recovered_listing, line);) {
      if (line.find(R"(,"recovered":true,)") != std::string::npos) {
        ++recovered;
      } else {
        standard_part += line + "\n";
      }
    }
    EXPECT_EQ(standard_part, json_lines(input, false, true).text);
    if (input.size() != kNoiseSize) {
      EXPECT_GT(recovered, 0u);  // noise holds no packets to recover
    }
  }
}

Bytes raw_packets(const Bytes &input, bool recover) {
  const std::string text =
      run_pass(input, recover, [](io::OutputBuffer &out) { return capdump::RawPackets(out); }).text;
  return Bytes(text.begin(), text.end());
}

// The listing's lines without offsets and recovery marks: the packets alone.
std::string packets_only(const std::string &listing) {
  return std::regex_replace(listing, std::regex(R"("offset":\d+,|"recovered":true,)"), "");
}

TEST(DumpPass, RawPacketsAreACaptureOfTheSamePackets) {
  const Bytes clean = generated_capture(6, 3000, 0.0);
  EXPECT_EQ(raw_packets(concat({clean, {0x81, 0xA1, 10, 40, 1, 2}}), false), clean);
  for (const Bytes &input : damaged_inputs()) {
    const Bytes raw = raw_packets(input, true);
    const DumpText again = json_lines(raw, false, true);
    EXPECT_EQ(again.text.find(R"("error")"), std::string::npos);
    EXPECT_EQ(again.totals.noise_bytes, 0u);
    EXPECT_EQ(packets_only(again.text), packets_only(json_lines(input, true, false).text));
  }
}

// The recovery framing tries a packet at every sync pair, yet each byte costs a step when hunted
// through and one when summed at most, however the packets overlap (inputs of one read here).
TEST(DumpPass, RecoveryTakesAFewStepsAByteWhereverTheSyncPairsLie) {
  const std::vector<Bytes> units = {
      {0x81, 0xA1},                          // length 0xA1: each packet swallows 80 others
      {0x81, 0xA1, 0x00, 0xFF},              // the longest packets, one every 4 bytes
      {0x81, 0xA1, 0x81, 0xA1, 0x00, 0x00},  // packets of length 0xA1 and 0 by turns
      {0x81, 0xA1, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00},  // headers with checksums wrong
      {0x81, 0x00, 0x00, 0x00, 0xA1, 0x81, 0xA1, 0xFF},  // a sync pair with bytes between
  };
  std::vector<Bytes> inputs = damaged_inputs();
  for (const Bytes &unit : units) {
    Bytes storm;
    while (storm.size() < kNoiseSize) storm.insert(storm.end(), unit.begin(), unit.end());
    inputs.push_back(storm);
  }
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_LE(json_lines(inputs[i], true, false).totals.recovery_steps, 2 * inputs[i].size());
  }
}

TEST(DumpPass, AReadErrorKeepsEverythingBeforeIt) {
  const Bytes input = generated_capture(5, 500, 0.0);
  const std::size_t read_size = 1010;
  const DumpText failed = json_lines(input, false, true, {read_size}, 3);
  EXPECT_TRUE(failed.totals.read_failed);
  EXPECT_EQ(failed.totals.bytes, 3 * read_size);
  // The same as the input cut where the error struck, but for the cut-off packet.
  const Bytes before(input.begin(), input.begin() + 3 * read_size);
  const std::string cut = json_lines(before, false, true).text;
  EXPECT_EQ(failed.text + cut.substr(cut.rfind("{\"offset\"")), cut);
  EXPECT_NE(cut.find("unfinished"), std::string::npos);
}

}  // namespace
