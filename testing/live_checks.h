// Checks of a program that reads a capture while it is being written: lines come as packets
// arrive, and a signal ends the run as the end of the input would. The program run on the same
// bytes as a file says what it must write. For GoogleTest tests.
#ifndef TESTING_LIVE_CHECKS_H
#define TESTING_LIVE_CHECKS_H

#include <gtest/gtest.h>

#include <protolib/wire.h>
#include <protolib/writer.h>

#include <algorithm>
#include <string>
#include <vector>

#include "testing/live_program.h"
#include "testing/program_runner.h"
#include "testing/test_packets.h"

// One way to run a program on a live input. Among args, "{}" stands for a FIFO the program opens
// by name, "-" for a pipe on its standard input; for the run on a file, both for the file's path.
struct LiveCase {
  const char *name;
  std::string program;
  std::vector<std::string> args;  // after argv[0]
  bool streams = true;            // writes each line as its packet arrives, not only at the end
};

// The packet an encoder makes of record.
template <typename Record>
Bytes encoded(int32_t (*encode)(const Record *, uint8_t *), const Record &record) {
  Bytes wire(WIRE_MAX_PACKET);
  wire.resize(static_cast<std::size_t>(encode(&record, wire.data())));
  return wire;
}

// Three rounds of types 12, 10, 2, 1 and 10, each packet with values of its own: lines for both
// listers, dumpten's with fresh and stale values of the other types.
inline std::vector<Bytes> live_packets() {
  std::vector<Bytes> packets;
  for (int i = 0; i < 3; ++i) {
    Type12Record t12{};
    Type10Record t10{};
    Type2Record t2{};
    Type1Record t1{};
    t12.lead = 1200u + static_cast<uint32_t>(i);
    t10.tail = static_cast<uint8_t>(i);
    t2.lead = 200u + static_cast<uint32_t>(i);
    t1.uword = static_cast<uint16_t>(60000 + i);
    t1.word = static_cast<int16_t>(-i);
    for (int k = 0; k < 9; ++k) {
      t10.words[k] = static_cast<int16_t>(k * 1000 - i);
      t2.words[k] = static_cast<int16_t>(-k * i);
    }
    for (int k = 0; k < 4; ++k) t10.longs[k] = -(i + 1) * 100000 + k;
    for (int k = 0; k < 6; ++k) t12.longs[k] = i * k - 7;
    Type10Record next10 = t10;
    next10.lead = 7u;
    for (const Bytes &packet :
         {encoded(encode_type12, t12), encoded(encode_type10, t10), encoded(encode_type2, t2),
          encoded(encode_type1, t1), encoded(encode_type10, next10)}) {
      packets.push_back(packet);
    }
  }
  return packets;
}

// argv for a run of c with input standing for "{}" and "-", or for "{}" only.
inline std::vector<std::string> live_argv(const LiveCase &c, const std::string &input,
                                          bool dash_too) {
  std::vector<std::string> argv{c.program.substr(c.program.rfind('/') + 1)};
  for (const std::string &arg : c.args) {
    argv.push_back(arg == "{}" || (dash_too && arg == "-") ? input : arg);
  }
  return argv;
}

// The program of c started on a FIFO in dir or on a pipe, as its args say.
inline LiveProgram start_live(const LiveCase &c, const TempDir &dir) {
  const bool fifo = std::count(c.args.begin(), c.args.end(), "{}") > 0;
  if (!fifo) return LiveProgram(c.program, live_argv(c, "", false));
  const std::string path = dir.fifo("live");
  return LiveProgram(c.program, live_argv(c, path, false), path);
}

// The program of c run to the end on a file holding bytes.
inline ProgramRun run_on_file(const LiveCase &c, const TempDir &dir, const std::string &bytes) {
  return run_program(c.program, live_argv(c, dir.write("file.cap", bytes), true));
}

inline std::size_t count_lines(const std::string &text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

inline std::string as_string(const Bytes &bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// Sends packets one at a time; after each, the output must come to what the program writes for
// the packets so far read from a file, before the next is sent. At the end of the input,
// everything written and the status must be those of the whole file.
inline void expect_lines_as_packets_arrive(const LiveCase &c, const std::vector<Bytes> &packets) {
  SCOPED_TRACE(c.name);
  TempDir dir;
  LiveProgram live = start_live(c, dir);
  std::string sent;
  for (std::size_t i = 0; i < packets.size(); ++i) {
    sent += as_string(packets[i]);
    const std::string expected = run_on_file(c, dir, sent).out;
    ASSERT_TRUE(live.send(as_string(packets[i]))) << live.err();
    ASSERT_TRUE(live.wait_for_lines(count_lines(expected)))
        << "no line for packet " << i << ", of type " << int{packets[i][2]} << "\n"
        << live.err();
    ASSERT_EQ(live.out(), expected) << "after packet " << i;
  }
  live.close_input();
  const ProgramRun whole = run_on_file(c, dir, sent);
  const ProgramRun run = live.finish();
  EXPECT_EQ(run.out, whole.out);
  EXPECT_EQ(run.err, whole.err);
  EXPECT_EQ(run.status, whole.status);
}

// Sends packets, then the first half of the last one again, and keeps the input open; once the
// program has read them (and written their lines, if it streams), signal_number must end it with
// exactly the output and standard error the same bytes give from a file, and status
// 128 + signal_number.
inline void expect_signal_ends_cleanly(const LiveCase &c, const std::vector<Bytes> &packets,
                                       int signal_number) {
  SCOPED_TRACE(std::string(c.name) + " signal " + std::to_string(signal_number));
  TempDir dir;
  std::string bytes;
  for (const Bytes &packet : packets) bytes += as_string(packet);
  bytes += as_string(packets.back()).substr(0, packets.back().size() / 2);
  const ProgramRun from_file = run_on_file(c, dir, bytes);
  ASSERT_GT(count_lines(from_file.out), 0u) << "the packets give this program no output";
  LiveProgram live = start_live(c, dir);
  ASSERT_TRUE(live.send(bytes)) << live.err();
  ASSERT_TRUE(live.wait_until_input_read()) << live.err();
  if (c.streams) {
    ASSERT_TRUE(live.wait_for_lines(count_lines(from_file.out))) << live.err();
  }
  live.signal(signal_number);
  const ProgramRun run = live.finish();
  EXPECT_EQ(run.out, from_file.out);
  EXPECT_EQ(run.err, from_file.err);
  EXPECT_EQ(run.status, 128 + signal_number);
}

#endif  // TESTING_LIVE_CHECKS_H
