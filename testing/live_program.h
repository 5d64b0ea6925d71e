// A built program run as a child process that the caller feeds while it runs and watches as its
// output arrives: for checking that lines come as packets arrive and that a signal ends the run
// cleanly. Every wait has a deadline, so a program that stalls fails a test instead of hanging it.
#ifndef TESTING_LIVE_PROGRAM_H
#define TESTING_LIVE_PROGRAM_H

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "testing/program_runner.h"

class LiveProgram {
 public:
  using Clock = std::chrono::steady_clock;
  // Long enough for any program on a loaded machine; only a stalled one waits this long.
  static constexpr std::chrono::milliseconds kPatience{10000};

  // Starts program with argv (argv[0] included), its standard output and error pipes read here,
  // SIGINT, SIGTERM, SIGHUP and SIGQUIT at their default actions. Without fifo, standard input is a
  // pipe that send() feeds. With fifo, the path of a FIFO the caller made (TempDir::fifo) that argv
  // makes the program open as its input: standard input is /dev/null, and the FIFO is opened for
  // writing once the program has opened it; if the program ends or has not opened it within
  // kPatience, send() fails and finish() tells what happened.
  LiveProgram(const std::string &program, const std::vector<std::string> &argv,
              const std::optional<std::string> &fifo = std::nullopt);
  // Kills the child with SIGKILL if it is still running, and reaps it.
  ~LiveProgram();
  LiveProgram(const LiveProgram &) = delete;
  LiveProgram &operator=(const LiveProgram &) = delete;

  // Writes bytes to the program's input, reading its output meanwhile. Returns false when the
  // input is closed or the program takes none of it for kPatience.
  bool send(std::string_view bytes);
  // Ends the program's input, as the writer going away does.
  void close_input();
  // Sends signal_number to the child.
  void signal(int signal_number);

  // Reads output until standard output holds at least lines newline-terminated lines. Returns
  // false if timeout passes first or the program closes its standard output.
  bool wait_for_lines(std::size_t lines, std::chrono::milliseconds timeout = kPatience);
  // Reads output until the program has taken from its input every byte sent. Returns false if
  // timeout passes first, the input is closed or the program has closed its output.
  bool wait_until_input_read(std::chrono::milliseconds timeout = kPatience);
  // Reads whatever output arrives until deadline, or until the program closes both pipes.
  void read_output_until(Clock::time_point deadline);

  // Standard output and error so far, and when each newline-terminated output line arrived.
  const std::string &out() const { return out_; }
  const std::string &err() const { return err_; }
  const std::vector<Clock::time_point> &line_times() const { return line_times_; }

  // Waits (kPatience at most) for the program to close its output and end, without closing its
  // input, and returns all it wrote and its exit status (128 + signal number if a signal ended
  // it). A program still running then is killed, so its status is 137.
  ProgramRun finish();

 private:
  // Waits until deadline for one round of events: reads what is ready on the output pipes and,
  // with pending input, writes what the input takes of it and drops that from pending. Returns
  // false if the input failed (the reader has gone).
  bool step(Clock::time_point deadline, std::string_view *pending = nullptr);
  void read_ready(int &fd, std::string &into);
  void open_fifo(const std::string &fifo);
  bool output_open() const { return out_fd_ >= 0 || err_fd_ >= 0; }

  pid_t pid_ = -1;
  int in_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  std::string out_;
  std::string err_;
  std::vector<Clock::time_point> line_times_;
};

#endif  // TESTING_LIVE_PROGRAM_H
