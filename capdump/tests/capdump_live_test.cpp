// capdump on a capture still being written: a line as soon as its packet arrives, in JSON Lines
// and CSV, and SIGINT or SIGTERM ending the run as the end of the input would, statistics too;
// --follow listing what is appended to a file, and reading a file that shrank again.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include "testing/live_checks.h"

namespace {

const LiveCase kJsonLines{"JSON Lines from a FIFO", CAPDUMP_PATH, {"{}"}};
const LiveCase kCsv{
    "CSV of type 10 from a FIFO", CAPDUMP_PATH, {"--format", "csv", "--type", "10", "{}"}};
const LiveCase kStdin{"JSON Lines from standard input", CAPDUMP_PATH, {"-"}};
const LiveCase kStats{"statistics from a FIFO", CAPDUMP_PATH, {"--stats", "{}"}, false};

TEST(CapdumpLive, WritesEachLineAsItsPacketArrives) {
  for (const LiveCase &c : {kJsonLines, kCsv, kStdin}) {
    expect_lines_as_packets_arrive(c, live_packets());
  }
}

TEST(CapdumpLive, SignalEndsAsTheEndOfInputWouldWithItsStatus) {
  const std::pair<LiveCase, int> rows[] = {
      {kJsonLines, SIGINT}, {kCsv, SIGTERM},   {kStdin, SIGTERM}, {kJsonLines, SIGHUP},
      {kStats, SIGINT},     {kStats, SIGTERM}, {kStats, SIGQUIT}};
  for (const auto &[c, signal_number] : rows) {
    expect_signal_ends_cleanly(c, live_packets(), signal_number);
  }
}

// Writes bytes to the file at path, after what it holds or in place of it.
void put(const std::string &path, const Bytes &bytes, std::ios::openmode mode) {
  std::ofstream(path, std::ios::binary | mode)
      .write(reinterpret_cast<const char *>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

TEST(CapdumpLive, FollowListsAppendedPacketsAndRereadsAFileThatShrank) {
  const std::vector<Bytes> packets = live_packets();
  // The last packet is shorter than the two before it, so the file shrinks below what was read.
  const Bytes &first = packets[1];
  const Bytes &second = packets[4];
  const Bytes &last = packets[3];
  ASSERT_LT(last.size(), first.size() + second.size());
  TempDir dir;
  const std::string path = dir.write("growing.cap", as_string(first));
  LiveProgram live(CAPDUMP_PATH, {"capdump", "-f", path});
  ASSERT_TRUE(live.wait_for_lines(1)) << live.err();
  put(path, second, std::ios::app);
  ASSERT_TRUE(live.wait_for_lines(2)) << live.err();
  put(path, last, std::ios::trunc);
  ASSERT_TRUE(live.wait_for_lines(3)) << live.err();
  live.signal(SIGINT);
  const ProgramRun run = live.finish();
  // The bytes read again follow those read before, offsets included.
  const ProgramRun whole = run_program(
      CAPDUMP_PATH, {"capdump", dir.write("all.cap", as_string(concat({first, second, last})))});
  EXPECT_EQ(run.out, whole.out);
  EXPECT_EQ(run.err, "capdump: '" + path + "' shrank; reading it again from the start\n");
  EXPECT_EQ(run.status, 130);
}

// -f on a file not made yet waits for it, as tail -F does, then lists what it holds and what is
// appended.
TEST(CapdumpLive, FollowWaitsForAFileNotMadeYet) {
  const std::vector<Bytes> packets = live_packets();
  TempDir dir;
  const std::string path = dir.path("later.cap");
  LiveProgram live(CAPDUMP_PATH, {"capdump", "-f", path});
  live.read_output_until(LiveProgram::Clock::now() + std::chrono::milliseconds(200));
  EXPECT_EQ(live.err(), "capdump: '" + path + "' does not exist yet; waiting for it to appear\n");
  put(path, packets[1], std::ios::trunc);
  ASSERT_TRUE(live.wait_for_lines(1)) << live.err();
  put(path, packets[4], std::ios::app);
  ASSERT_TRUE(live.wait_for_lines(2)) << live.err();
  live.signal(SIGINT);
  const ProgramRun run = live.finish();
  EXPECT_EQ(
      run.out,
      run_program(CAPDUMP_PATH,
                  {"capdump", dir.write("both.cap", as_string(concat({packets[1], packets[4]})))})
          .out);
  EXPECT_EQ(run.status, 130);
}

}  // namespace
