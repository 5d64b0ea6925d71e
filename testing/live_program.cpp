#include "testing/live_program.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <thread>

namespace {

using Clock = LiveProgram::Clock;
constexpr std::chrono::milliseconds kRetry{1};

// A pipe whose ends close on exec; the end kept here does not block.
struct Pipe {
  int read_end = -1;
  int write_end = -1;
};

Pipe make_pipe(bool parent_reads) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const int parent_end = parent_reads ? fds[0] : fds[1];
  fcntl(parent_end, F_SETFL, fcntl(parent_end, F_GETFL) | O_NONBLOCK);
  return {fds[0], fds[1]};
}

void close_fd(int &fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// Milliseconds from now to deadline, rounded up, 0 once it has passed.
int poll_timeout(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// Exit status, or 128 + the signal number that ended the process.
int exit_status(int wait_status) {
  return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
}

[[noreturn]] void exec_child(const std::string &program, const std::vector<std::string> &argv,
                             int in, int out, int err) {
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) std::signal(sig, SIG_DFL);
  if (in < 0) in = open("/dev/null", O_RDONLY);
  if (dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0)
    _exit(126);
  std::vector<char *> args;
  for (const std::string &arg : argv) args.push_back(const_cast<char *>(arg.c_str()));
  args.push_back(nullptr);
  execv(program.c_str(), args.data());
  _exit(127);
}

}  // namespace

LiveProgram::LiveProgram(const std::string &program, const std::vector<std::string> &argv,
                         const std::optional<std::string> &fifo) {
  // Writing to a program that has gone must fail with EPIPE, not end the test process.
  std::signal(SIGPIPE, SIG_IGN);
  const Pipe in = fifo ? Pipe{} : make_pipe(false);
  const Pipe out = make_pipe(true);
  const Pipe err = make_pipe(true);
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) exec_child(program, argv, in.read_end, out.write_end, err.write_end);
  for (int end : {in.read_end, out.write_end, err.write_end}) close_fd(end);
  in_ = in.write_end;
  out_fd_ = out.read_end;
  err_fd_ = err.read_end;
  if (fifo) open_fifo(*fifo);
}

LiveProgram::~LiveProgram() {
  for (int *fd : {&in_, &out_fd_, &err_fd_}) close_fd(*fd);
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

// Opening a FIFO for writing without blocking fails with ENXIO until it has a reader.
void LiveProgram::open_fifo(const std::string &fifo) {
  const Clock::time_point deadline = Clock::now() + kPatience;
  while (output_open() && Clock::now() < deadline) {
    in_ = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (in_ >= 0 || errno != ENXIO) return;
    step(std::min(deadline, Clock::now() + kRetry));
  }
}

bool LiveProgram::step(Clock::time_point deadline, std::string_view *pending) {
  pollfd fds[] = {{out_fd_, POLLIN, 0}, {err_fd_, POLLIN, 0}, {pending ? in_ : -1, POLLOUT, 0}};
  if (poll(fds, 3, poll_timeout(deadline)) < 0) {
    if (errno == EINTR) return true;
    throw std::runtime_error("poll failed");
  }
  if (fds[0].revents != 0) read_ready(out_fd_, out_);
  if (fds[1].revents != 0) read_ready(err_fd_, err_);
  if (fds[2].revents == 0) return true;
  const ssize_t n = write(in_, pending->data(), pending->size());
  if (n < 0) return errno == EAGAIN || errno == EINTR;
  pending->remove_prefix(static_cast<std::size_t>(n));
  return true;
}

void LiveProgram::read_ready(int &fd, std::string &into) {
  char block[4096];
  const ssize_t n = read(fd, block, sizeof block);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (n <= 0) {
    close_fd(fd);
    return;
  }
  into.append(block, static_cast<std::size_t>(n));
  if (&into != &out_) return;
  const Clock::time_point now = Clock::now();
  const auto lines = std::count(block, block + n, '\n');
  line_times_.insert(line_times_.end(), static_cast<std::size_t>(lines), now);
}

bool LiveProgram::send(std::string_view bytes) {
  const Clock::time_point deadline = Clock::now() + kPatience;
  while (!bytes.empty()) {
    if (in_ < 0 || Clock::now() >= deadline || !step(deadline, &bytes)) return false;
  }
  return true;
}

void LiveProgram::close_input() {
  close_fd(in_);
}

void LiveProgram::signal(int signal_number) {
  kill(pid_, signal_number);
}

bool LiveProgram::wait_for_lines(std::size_t lines, std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  while (line_times_.size() < lines) {
    if (out_fd_ < 0 || Clock::now() >= deadline) return false;
    step(deadline);
  }
  return true;
}

// Nothing signals a reader taking bytes, so the bytes left in the FIFO or pipe are asked after
// each short wait.
bool LiveProgram::wait_until_input_read(std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (int unread = 0; in_ >= 0 && ioctl(in_, FIONREAD, &unread) == 0;) {
    if (unread == 0) return true;
    if (!output_open() || Clock::now() >= deadline) return false;
    step(std::min(deadline, Clock::now() + kRetry));
  }
  return false;
}

void LiveProgram::read_output_until(Clock::time_point deadline) {
  while (output_open() && Clock::now() < deadline) step(deadline);
}

ProgramRun LiveProgram::finish() {
  const Clock::time_point deadline = Clock::now() + kPatience;
  read_output_until(deadline);
  int wait_status = 0;
  while (waitpid(pid_, &wait_status, WNOHANG) == 0) {
    if (Clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &wait_status, 0);
      break;
    }
    std::this_thread::sleep_for(kRetry);
  }
  pid_ = -1;
  close_input();
  return {out_, err_, exit_status(wait_status)};
}
