// capdump on a capture still being written: a line as soon as its packet arrives, in JSON Lines
// and CSV, and SIGINT or SIGTERM ending the run as the end of the input would, statistics too.
#include <gtest/gtest.h>

#include <csignal>

#include "live_checks.h"

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
  const std::pair<LiveCase, int> rows[] = {{kJsonLines, SIGINT},
                                           {kCsv, SIGTERM},
                                           {kStdin, SIGTERM},
                                           {kStats, SIGINT},
                                           {kStats, SIGTERM}};
  for (const auto &[c, signal_number] : rows) {
    expect_signal_ends_cleanly(c, live_packets(), signal_number);
  }
}

}  // namespace
