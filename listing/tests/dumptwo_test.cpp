// dumptwo end to end: the built program on captures made here, every output byte and status.
#include <gtest/gtest.h>

#include "listing/tests/capture_builder.h"
#include "testing/listing_text.h"
#include "testing/program_runner.h"

namespace {

const std::string kDumptwo = DUMPTWO_PATH;

Bytes type2(uint32_t lead) {
  return packet(2, Payload().u32({lead}).i16({-1, 2, -3, 4, -5, 6, -7, 8, -32768}).u8({200}));
}
std::string type2_piece(uint32_t lead) {
  return std::to_string(lead) + " -1 2 -3 4 -5 6 -7 8 -32768 200";
}
const std::string kZeroType20 = " 0 0 0 0 0 0 0 0 0 0 0 0 0";

const Bytes kType20 = packet(
    20,
    Payload().u32({4294967295u}).u16({65535, 1}).i32({-7, 2147483647, 0, 0, 0, 2}).u16({1, 2, 3}));
const std::string kType20Values = " 4294967295 65535 1 -7 2147483647 0 0 0 2 1 2 3";

// Plain lines for type-2 packets with leads first..last and no type-20 packet yet.
std::string plain_lines(uint32_t first, uint32_t last) {
  std::string text;
  for (uint32_t lead = first; lead <= last; ++lead) text += type2_piece(lead) + kZeroType20 + "\n";
  return text;
}

struct ListingCase {
  const char *name;
  Bytes capture;
  std::string out;
  unsigned lines;
};

TEST(Dumptwo, ListsTypeTwoPacketsWithTheNewestTypeTwenty) {
  // 18 noise bytes and eight 29-byte packets: 250 bytes, read as 100 + 100 + 50; the packet at
  // offset 76 straddles the first two blocks.
  Bytes blocks = Bytes(18, 0x00);
  for (uint32_t lead = 1; lead <= 8; ++lead) blocks = concat({blocks, type2(lead)});
  ASSERT_EQ(blocks.size(), 250u);

  // Type-0 packets end the library's drain early; the ones here sit in the last block, and
  // thousands of them in a row would overrun a ring that is not drained to the end.
  Bytes dense_type0;
  for (int i = 0; i < 5000; ++i) dense_type0 = concat({dense_type0, make_packet(0, {})});

  const ListingCase cases[] = {
      {"empty file", {}, "", 0},
      {"three blocks, the last one short", blocks, plain_lines(1, 8), 8},
      {"type 20 then two type 2", concat({kType20, type2(1), type2(2)}),
       type2_piece(1) + " 1" + kType20Values + "\n" + type2_piece(2) + " 0" + kType20Values + "\n",
       2},
      {"only type 10", concat({make_packet(10, Bytes(39, 1)), make_packet(10, Bytes(39, 2))}), "",
       0},
      {"type 0 in the last block", concat({type2(1), make_packet(0, {}), type2(2), type2(3)}),
       plain_lines(1, 3), 3},
      {"dense type 0", concat({dense_type0, type2(1), dense_type0, type2(2)}), plain_lines(1, 2),
       2},
  };
  for (const ListingCase &c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string file = dir.write("in.cap", std::string(c.capture.begin(), c.capture.end()));
    const ProgramRun run = run_program(kDumptwo, {"dumptwo", file});
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, progress(c.lines) + summary(c.lines, 0));
    EXPECT_EQ(run.status, 0);
  }
}

TEST(Dumptwo, UsageNamesTheExecutableAndExtraArgumentsAreIgnored) {
  TempDir dir;
  const Bytes one = type2(5);
  const std::string file = dir.write("in.cap", std::string(one.begin(), one.end()));

  const ProgramRun usage = run_program(kDumptwo, {"/some/where/renamed"});
  EXPECT_EQ(usage.out, "");
  EXPECT_EQ(usage.err, "usage: dumptwo <in_file>\n  output goes to stdout\n");
  EXPECT_EQ(usage.status, 1);

  const ProgramRun extra = run_program(kDumptwo, {"dumptwo", file, "ignored", "too"});
  EXPECT_EQ(extra.out, plain_lines(5, 5));
  EXPECT_EQ(extra.status, 0);

  const ProgramRun missing = run_program(kDumptwo, {"dumptwo", dir.path("missing")});
  EXPECT_EQ(missing.err, "input file does not exist\n");
  EXPECT_EQ(missing.status, 1);
}

TEST(Dumptwo, DamagedPacketsAreCountedAndIoFaultsReported) {
  TempDir dir;
  Bytes bad = type2(2);
  bad[10] ^= 0xFF;
  const Bytes damaged = concat({type2(1), bad, type2(3)});
  const std::string file = dir.write("in.cap", std::string(damaged.begin(), damaged.end()));

  const ProgramRun run = run_program(kDumptwo, {"dumptwo", file});
  EXPECT_EQ(run.out, type2_piece(1) + kZeroType20 + "\n" + type2_piece(3) + kZeroType20 + "\n");
  EXPECT_EQ(run.err, progress(2) + summary(2, 1));

  const ProgramRun full = run_program(kDumptwo, {"dumptwo", file}, Stdout::kDevFull);
  EXPECT_EQ(full.err, progress(2) + summary(2, 1) + "error writing output\n");
  EXPECT_EQ(full.status, 2);

  const ProgramRun unreadable = run_program(kDumptwo, {"dumptwo", "/proc/self/mem"});
  EXPECT_EQ(unreadable.err, summary(0, 0) + "error reading input file\n");
  EXPECT_EQ(unreadable.status, 2);
}

}  // namespace
