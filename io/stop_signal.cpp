#include "io/stop_signal.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace io {

namespace {

// Ctrl-C, kill's default, a closed terminal and Ctrl-\\.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

volatile std::sig_atomic_t requested = 0;
int pipe_ends[2] = {-1, -1};

extern "C" void request_stop(int signal_number) {
  if (requested != 0) {
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
    return;
  }
  requested = signal_number;
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = write(pipe_ends[1], &byte, 1);
}

}  // namespace

bool catch_stop_signals() {
  if (pipe_ends[0] >= 0) return true;
  if (pipe2(pipe_ends, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  struct sigaction action {};
  action.sa_handler = request_stop;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : kStopSignals) sigaddset(&action.sa_mask, signal_number);
  // Interrupted reads and writes resume; waits for input watch stop_signal_fd() instead.
  action.sa_flags = SA_RESTART;
  for (const int signal_number : kStopSignals) {
    // A signal the program was started ignoring (a background job's SIGINT) stays ignored.
    struct sigaction previous {};
    if (sigaction(signal_number, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
      sigaction(signal_number, &action, nullptr);
  }
  return true;
}

int stop_signal() {
  return requested;
}

int stop_signal_fd() {
  return pipe_ends[0];
}

int status_after_stop(int status) {
  return status == 0 && requested != 0 ? 128 + requested : status;
}

}  // namespace io
