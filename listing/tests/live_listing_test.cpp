// dumpten and dumptwo on a capture still being written: a line as soon as its packet arrives,
// and a stop signal (SIGINT, SIGTERM, SIGHUP, SIGQUIT) ending the run with whole lines and the
// summary.
#include <gtest/gtest.h>

#include <csignal>

#include "testing/live_checks.h"

namespace {

const LiveCase kCases[] = {
    {"dumpten from a FIFO", DUMPTEN_PATH, {"{}"}},
    {"dumptwo from a FIFO", DUMPTWO_PATH, {"{}"}},
    {"dumpten from standard input", DUMPTEN_PATH, {"-"}},
};

TEST(LiveListing, WritesEachLineAsItsPacketArrives) {
  for (const LiveCase &c : kCases) expect_lines_as_packets_arrive(c, live_packets());
}

TEST(LiveListing, SignalEndsWithWholeLinesTheSummaryAndItsStatus) {
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    for (const LiveCase &c : kCases) expect_signal_ends_cleanly(c, live_packets(), signal_number);
  }
}

}  // namespace
