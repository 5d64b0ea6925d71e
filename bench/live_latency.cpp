// live_latency: how long a program takes to write each line once its packet has arrived, when it
// reads a FIFO fed at a steady rate and writes to a pipe. Not a unit test: a measurement, printed
// as one Markdown table row (bench/live-latency.sh runs it for every program).
//
// Usage: live_latency [--every MS] [--listed TYPE] CAPTURE PROGRAM [ARG]...
//
// Runs PROGRAM with the ARGs, any ARG "{}" replaced by the path of a FIFO (without one, an ARG "-"
// has it read a pipe on its standard input), and writes CAPTURE to that input one packet at a time
// (packets as the framer finds them; bytes it rejects go with the packet after them), a packet
// every MS milliseconds (default 2). Each packet of type TYPE (every packet without --listed) must
// give one line; lines before the first such are taken for a header. A line's latency runs from the
// write of its packet's last byte to the line's arrival. Checks that the output is the same as with
// CAPTURE as the file, then prints the lines, the median and worst latency and how many lines came
// only after the input had ended.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "bench/packet_bounds.h"
#include "testing/live_program.h"
#include "testing/program_runner.h"

namespace {

using Clock = LiveProgram::Clock;

struct Options {
  int every_ms = 2;
  int listed = -1;  // the type whose packets give lines, or -1 for every packet
  std::string capture;
  std::vector<std::string> command;  // program, then its arguments
};

[[noreturn]] void fail(const std::string &message) {
  std::fprintf(stderr, "live_latency: %s\n", message.c_str());
  std::exit(1);
}

Options parse(int argc, char **argv) {
  Options options;
  int at = 1;
  for (; at + 1 < argc && argv[at][0] == '-'; at += 2) {
    const std::string name = argv[at];
    const int value = std::atoi(argv[at + 1]);
    if (name == "--every" && value > 0) {
      options.every_ms = value;
    } else if (name == "--listed" && value >= 0 && value <= 255) {
      options.listed = value;
    } else {
      fail("bad option " + name);
    }
  }
  if (argc - at < 2)
    fail("usage: live_latency [--every MS] [--listed TYPE] CAPTURE PROGRAM [ARG]...");
  options.capture = argv[at];
  options.command.assign(argv + at + 1, argv + argc);
  return options;
}

std::string slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) fail("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// argv for the program: its name, then the arguments with "{}" replaced by input.
std::vector<std::string> program_argv(const std::vector<std::string> &command,
                                      const std::string &input) {
  std::vector<std::string> argv(command);
  std::replace(argv.begin() + 1, argv.end(), std::string("{}"), input);
  return argv;
}

// The program's name and arguments without "{}", for the table.
std::string label(const std::vector<std::string> &command) {
  std::string text = command[0].substr(command[0].rfind('/') + 1);
  for (auto arg = command.begin() + 1; arg != command.end(); ++arg) {
    if (*arg != "{}") text += " " + *arg;
  }
  return text;
}

double ms_between(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

}  // namespace

int main(int argc, char **argv) {
  const Options options = parse(argc, argv);
  const std::string capture = slurp(options.capture);
  const std::string &program = options.command[0];
  std::vector<std::string> file_argv = program_argv(options.command, options.capture);
  std::replace(file_argv.begin() + 1, file_argv.end(), std::string("-"), options.capture);
  const ProgramRun from_file = run_program(program, file_argv);
  if (from_file.status != 0) fail(label(options.command) + " fails on the capture file");

  // With an argument "-" instead of "{}", the program reads a pipe on its standard input.
  const bool from_fifo =
      std::find(options.command.begin(), options.command.end(), "{}") != options.command.end();
  TempDir dir;
  const std::string fifo = dir.fifo("in");
  LiveProgram live(program, program_argv(options.command, fifo),
                   from_fifo ? std::optional<std::string>(fifo) : std::nullopt);
  const auto every = std::chrono::milliseconds(options.every_ms);
  const Clock::time_point start = Clock::now();
  std::vector<Clock::time_point> written;  // when each listed packet's last byte was written
  std::size_t from = 0;
  const std::vector<PacketBound> bounds = packet_bounds(capture);
  for (std::size_t i = 0; i < bounds.size(); ++i) {
    const PacketBound &bound = bounds[i];
    live.read_output_until(start + every * static_cast<int64_t>(i));
    if (!live.send(std::string_view(capture).substr(from, bound.end - from))) {
      fail(label(options.command) + " stopped reading");
    }
    if (options.listed < 0 || bound.type == options.listed) written.push_back(Clock::now());
    from = bound.end;
  }
  // Whatever follows the last packet goes one interval later, and the input ends with it.
  live.read_output_until(start + every * static_cast<int64_t>(bounds.size()));
  live.send(std::string_view(capture).substr(from));
  const Clock::time_point input_ended = Clock::now();
  live.close_input();
  const ProgramRun run = live.finish();
  if (run.status != 0 || run.out != from_file.out) {
    fail(label(options.command) + " wrote other output from the FIFO than from the file");
  }

  const std::vector<Clock::time_point> &arrived = live.line_times();
  if (arrived.size() < written.size()) fail("fewer lines than listed packets");
  const std::size_t header = arrived.size() - written.size();
  std::vector<double> latency;
  for (std::size_t k = 0; k < written.size(); ++k) {
    latency.push_back(ms_between(written[k], arrived[header + k]));
  }
  const auto after_end =
      std::count_if(arrived.begin() + static_cast<std::ptrdiff_t>(header), arrived.end(),
                    [&](Clock::time_point t) { return t > input_ended; });
  std::sort(latency.begin(), latency.end());
  const double median = latency.empty() ? 0 : latency[latency.size() / 2];
  const double worst = latency.empty() ? 0 : latency.back();
  std::printf("| %s | %zu | %.2f | %.2f | %td |\n", label(options.command).c_str(), latency.size(),
              median, worst, after_end);
  return 0;
}
