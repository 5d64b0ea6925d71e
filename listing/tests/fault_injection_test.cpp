// Both listing programs under hostile inputs and broken surroundings: odd names, standard input
// as the capture, captures made of sync bytes, a reader that goes away. Every case states the
// exact bytes on both streams and the exit status.
#include <gtest/gtest.h>

#include <csignal>

#include "listing/tests/capture_builder.h"
#include "testing/listing_text.h"
#include "testing/program_runner.h"

namespace {

// One program with a packet of its listed type and the line it prints for it when no other
// packet has arrived: counting payload bytes 00 01 02 ... give lead 66051 (0x00010203) and words
// 0x0405 = 1029 up to 0x1415 = 5141.
struct Program {
  const char *name;
  std::string path;
  Bytes packet;
  std::string line;
};

const Program kPrograms[] = {
    {"dumpten", DUMPTEN_PATH, make_packet(10, counting_payload(39)),
     "0 0 66051 1029 1543 2057 2571 3085 3599 4113 4627 5141 38"  // type 1, type 10, its tail
     " 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0"                           // types 12 and 15
     " 0 0 0 0 0 0 0 0 0 0 0 0 0\n"},                             // type 20
    {"dumptwo", DUMPTWO_PATH, make_packet(2, counting_payload(23)),
     "66051 1029 1543 2057 2571 3085 3599 4113 4627 5141 22"  // type 2 and its tail
     " 0 0 0 0 0 0 0 0 0 0 0 0 0\n"},                         // type 20
};

std::string repeat(const std::string &text, std::size_t times) {
  std::string all;
  for (std::size_t i = 0; i < times; ++i) all += text;
  return all;
}

std::string repeat(const Bytes &bytes, std::size_t times) {
  return repeat(std::string(bytes.begin(), bytes.end()), times);
}

struct CaptureCase {
  const char *name;
  std::string capture;
  unsigned long lines;
  unsigned long errors;
};

TEST(FaultInjection, HostileCapturesAreListedExactly) {
  for (const Program &p : kPrograms) {
    const std::string one = repeat(p.packet, 1);
    const std::string header = one.substr(0, 4);  // sync bytes, type, length
    // Alternating 81 A1 frames as type 0x81 with length 0xA1: 81 A1 | 81 A1 | 161 payload bytes |
    // checksum A, which is 0xA1 but should be 0x43. The rejection leaves 166 bytes consumed, and
    // the next attempt starts at the 0x81 after it; the last 65536 % 166 bytes are a cut-off
    // packet.
    const CaptureCase cases[] = {
        {"ends after the first sync byte", one + header.substr(0, 1), 1, 0},
        {"ends after both sync bytes", one + header.substr(0, 2), 1, 0},
        {"ends after the type byte", one + header.substr(0, 3), 1, 0},
        {"ends after the length byte", one + header, 1, 0},
        {"64 KiB of 0x81", std::string(65536, '\x81'), 0, 0},
        {"64 KiB of 0xA1", std::string(65536, '\xA1'), 0, 0},
        {"64 KiB of 81 A1 pairs", repeat("\x81\xA1", 32768), 0, 65536 / 166},
    };
    for (const CaptureCase &c : cases) {
      SCOPED_TRACE(std::string(p.name) + ": " + c.name);
      TempDir dir;
      const ProgramRun run = run_program(p.path, {p.name, dir.write("in.cap", c.capture)});
      EXPECT_EQ(run.out, repeat(p.line, c.lines));
      EXPECT_EQ(run.err, progress(c.lines) + summary(c.lines, c.errors));
      EXPECT_EQ(run.status, 0);
    }
  }
}

TEST(FaultInjection, InputNamesAreTakenAsTheyAre) {
  for (const Program &p : kPrograms) {
    SCOPED_TRACE(p.name);
    TempDir dir;
    const std::string odd_name =
        dir.write("my capture \xC3\xA9t\xE9 \xFF.cap", repeat(p.packet, 2));
    const ProgramRun odd = run_program(p.path, {p.name, odd_name});
    EXPECT_EQ(odd.out, repeat(p.line, 2));
    EXPECT_EQ(odd.err, progress(2) + summary(2, 0));
    EXPECT_EQ(odd.status, 0);

    const ProgramRun directory = run_program(p.path, {p.name, dir.path("")});
    EXPECT_EQ(directory.out, "");
    EXPECT_EQ(directory.err, "input file does not exist\n");
    EXPECT_EQ(directory.status, 1);
  }
}

TEST(FaultInjection, DevStdinReadsACapturePipedIn) {
  // More than a pipe holds at once, so the program sees short reads.
  const std::size_t packets = 3000;
  for (const Program &p : kPrograms) {
    SCOPED_TRACE(p.name);
    const ProgramRun run =
        run_program(p.path, {p.name, "/dev/stdin"}, Stdout::kCaptured, repeat(p.packet, packets));
    EXPECT_EQ(run.out, repeat(p.line, packets));
    EXPECT_EQ(run.err, progress(packets) + summary(packets, 0));
    EXPECT_EQ(run.status, 0);
  }
}

TEST(FaultInjection, AnUnwritableStandardErrorLosesTheSummaryWithStatus2) {
  for (const Program &p : kPrograms) {
    SCOPED_TRACE(p.name);
    TempDir dir;
    const ProgramRun run =
        run_program("/bin/sh", {"sh", "-c", R"(exec "$0" "$1" 2>/dev/full)", p.path,
                                dir.write("in.cap", repeat(p.packet, 2))});
    EXPECT_EQ(run.out, repeat(p.line, 2));
    EXPECT_EQ(run.status, 2);
  }
}

TEST(FaultInjection, ReaderClosingThePipeEndsTheProgramQuietly) {
  // Megabytes of lines: far more than the pipe and the output buffer hold. The program must die
  // of SIGPIPE at its next write, as cat does, before any progress or error text is written.
  for (const Program &p : kPrograms) {
    SCOPED_TRACE(p.name);
    TempDir dir;
    const std::string file = dir.write("big.cap", repeat(p.packet, 40000));
    const ProgramRun run = run_program(p.path, {p.name, file}, Stdout::kHeadPipe);
    EXPECT_EQ(run.out, repeat(p.line, 2).substr(0, kHeadBytes));
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, 128 + SIGPIPE);
  }
}

}  // namespace
