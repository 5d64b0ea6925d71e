// dumpten end to end: the built program on captures made here, every output byte and status.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "listing/tests/capture_builder.h"
#include "testing/listing_text.h"
#include "testing/program_runner.h"

namespace {

const std::string kDumpten = DUMPTEN_PATH;

const Bytes kType10 = packet(10, Payload()
                                     .u32({4294967295u})
                                     .i16({1, -1, 32767, -32768, 0, 2, 3, 4, 5})
                                     .i32({9, 9, 9, 9})
                                     .u8({255}));
const std::string kType10Piece = " 4294967295 1 -1 32767 -32768 0 2 3 4 5 255";
const std::string kZeroPieces =
    " 0 0 0 0 0 0 0 0"             // type 12
    " 0 0 0 0 0 0 0 0"             // type 15
    " 0 0 0 0 0 0 0 0 0 0 0 0 0";  // type 20

const Bytes kType1 = packet(1, Payload().u32({7}).u16({65535}).i16({-32768}));
const Bytes kType12 =
    packet(12, Payload().u32({1}).i32({-1, -2147483647 - 1, 2147483647, 0, 5, 6}).u8({9}));
const Bytes kType15 = packet(15, Payload().u32({1}).u16({65535, 0, 1, 2, 3, 4}).u8({0}));
const Bytes kType20 = packet(
    20, Payload().u32({4000000000u}).u16({65535, 1}).i32({-7, 0, 0, 0, 0, 2}).u16({1, 2, 3}));

Bytes with_bad_checksum(Bytes wire) {
  wire.back() ^= 0x55;
  return wire;
}

struct ListingCase {
  const char *name;
  std::string capture;
  std::string out;
  unsigned lines;
  unsigned errors;
};

TEST(Dumpten, ListsTypeTenPacketsWithTheNewestOtherValues) {
  const std::string plain_line = "0 0" + kType10Piece + kZeroPieces + "\n";
  const std::string fresh12 = " 1 -1 -2147483648 2147483647 0 5 6 9";
  const std::string stale12 = " 0 -1 -2147483648 2147483647 0 5 6 9";
  const std::string fresh15_20 = " 1 65535 0 1 2 3 4 0 1 4000000000 65535 1 -7 0 0 0 0 2 1 2 3";
  const std::string stale15_20 = " 0 65535 0 1 2 3 4 0 0 4000000000 65535 1 -7 0 0 0 0 2 1 2 3";
  const ListingCase cases[] = {
      {"empty file", "", "", 0, 0},
      {"one type 10", capture({kType10}), plain_line, 1, 0},
      {"type 12 then two type 10", capture({kType12, kType10, kType10}),
       "0 0" + kType10Piece + fresh12 + kZeroPieces.substr(16) + "\n" + "0 0" + kType10Piece +
           stale12 + kZeroPieces.substr(16) + "\n",
       2, 0},
      {"type 1 between two type 10", capture({kType10, kType1, kType10}),
       plain_line + "65535 -32768" + kType10Piece + kZeroPieces + "\n", 2, 0},
      {"types 15 and 20 freshness", capture({kType15, kType20, kType10, kType10}),
       "0 0" + kType10Piece + kZeroPieces.substr(0, 16) + fresh15_20 + "\n" + "0 0" + kType10Piece +
           kZeroPieces.substr(0, 16) + stale15_20 + "\n",
       2, 0},
      {"only type 2", capture({make_packet(2, Bytes(23, 1)), make_packet(2, Bytes(23, 2))}), "", 0,
       0},
      {"bad checksum among good", capture({kType10, with_bad_checksum(kType10), kType10}),
       plain_line + plain_line, 2, 1},
      {"noise and a packet cut off at the end",
       capture({{0x00, 0x81, 0x13}, kType10, Bytes(kType10.begin(), kType10.end() - 1)}),
       plain_line, 1, 0},
      {"type 0 packets", capture({make_packet(0, {}), kType10, make_packet(0, {})}), plain_line, 1,
       0},
  };
  for (const ListingCase &c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const ProgramRun run = run_program(kDumpten, {"dumpten", dir.write("in.cap", c.capture)});
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, progress(c.lines) + summary(c.lines, c.errors));
    EXPECT_EQ(run.status, 0);
  }
}

TEST(Dumpten, RefusesBadUsageAndMissingInput) {
  TempDir dir;
  const std::string file = dir.write("in.cap", capture({kType10}));
  const std::string usage = "usage: dumpten <in_file>\n  output goes to stdout\n";
  struct Case {
    std::vector<std::string> argv;
    std::string err;
  };
  const Case cases[] = {
      {{kDumpten}, usage},
      {{"/some/where/renamed"}, "usage: renamed <in_file>\n  output goes to stdout\n"},
      {{"dumpten", file, file}, usage},
      {{"dumpten", dir.path("missing.cap")}, "input file does not exist\n"},
      {{"dumpten", dir.path("")}, "input file does not exist\n"},  // a directory
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.argv.size());
    const ProgramRun run = run_program(kDumpten, c.argv);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.status, 1);
  }
}

TEST(Dumpten, FileThatCannotBeOpenedFailsBeforeReading) {
  TempDir dir;
  const std::string socket_path = dir.path("socket");
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socket_path.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
  const ProgramRun run = run_program(kDumpten, {"dumpten", socket_path});
  close(fd);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "input file cannot be opened\n");
  EXPECT_EQ(run.status, 1);
}

TEST(Dumpten, ReadErrorIsReportedAfterTheSummary) {
  const ProgramRun run = run_program(kDumpten, {"dumpten", "/proc/self/mem"});
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, summary(0, 0) + "error reading input file\n");
  EXPECT_EQ(run.status, 2);
}

// A standard input that was closed is a read that fails, not a descriptor for the program's own
// files to land on.
TEST(Dumpten, AClosedStandardInputIsAReadError) {
  const ProgramRun run =
      run_program("/bin/sh", {"sh", "-c", R"(exec timeout 10 "$0" - <&-)", kDumpten});
  EXPECT_EQ(run.err, summary(0, 0) + "error reading input file\n");
  EXPECT_EQ(run.status, 2);
}

TEST(Dumpten, OutputThatCannotBeWrittenIsAnError) {
  TempDir dir;
  const std::string file = dir.write("in.cap", capture({kType10, kType10}));
  for (Stdout target : {Stdout::kDevFull, Stdout::kClosed}) {
    const ProgramRun run = run_program(kDumpten, {"dumpten", file}, target);
    EXPECT_EQ(run.err, progress(2) + summary(2, 0) + "error writing output\n");
    EXPECT_EQ(run.status, 2);
  }
}

}  // namespace
