#include "testing/program_runner.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace {

std::string slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void redirect(const char *path, int flags, int target) {
  const int fd = open(path, flags, 0600);
  if (fd < 0 || dup2(fd, target) < 0) _exit(126);
  close(fd);
}

// Both ends close on exec, so a child keeps only the end it moves onto a standard stream.
struct Pipe {
  int read_end = -1;
  int write_end = -1;
};

Pipe make_pipe() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  return {fds[0], fds[1]};
}

// Writes bytes to fd until all are written or the reader has gone, then closes fd.
void feed(int fd, const std::string &bytes) {
  for (std::size_t at = 0; at < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + at, bytes.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    at += static_cast<std::size_t>(n);
  }
  close(fd);
}

// Reads until limit bytes or end of input, then closes fd.
std::string read_head(int fd, std::size_t limit) {
  std::string head(limit, '\0');
  std::size_t got = 0;
  while (got < limit) {
    const ssize_t n = read(fd, head.data() + got, limit - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  close(fd);
  head.resize(got);
  return head;
}

}  // namespace

ProgramRun run_program(const std::string &program, const std::vector<std::string> &argv,
                       Stdout stdout_to, const std::optional<std::string> &piped_stdin) {
  TempDir capture;
  const std::string out_path = capture.path("out");
  const std::string err_path = capture.path("err");
  std::vector<char *> args;
  for (const std::string &arg : argv) args.push_back(const_cast<char *>(arg.c_str()));
  args.push_back(nullptr);
  // A feeder whose reader exits early must see EPIPE, not end the test process.
  if (piped_stdin) std::signal(SIGPIPE, SIG_IGN);
  const Pipe in = piped_stdin ? make_pipe() : Pipe{};
  const Pipe out = stdout_to == Stdout::kHeadPipe ? make_pipe() : Pipe{};
  int terminal = -1;
  int terminal_device = -1;
  if (stdout_to == Stdout::kTerminal &&
      openpty(&terminal, &terminal_device, nullptr, nullptr, nullptr) != 0) {
    throw std::runtime_error("openpty failed");
  }

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    std::signal(SIGPIPE, SIG_DFL);
    if (piped_stdin) {
      if (dup2(in.read_end, STDIN_FILENO) < 0) _exit(126);
    } else {
      redirect("/dev/null", O_RDONLY, STDIN_FILENO);
    }
    switch (stdout_to) {
      case Stdout::kCaptured:
        redirect(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, STDOUT_FILENO);
        break;
      case Stdout::kDevFull:
        redirect("/dev/full", O_WRONLY, STDOUT_FILENO);
        break;
      case Stdout::kClosed:
        close(STDOUT_FILENO);
        break;
      case Stdout::kHeadPipe:
        if (dup2(out.write_end, STDOUT_FILENO) < 0) _exit(126);
        break;
      case Stdout::kTerminal:
        if (dup2(terminal_device, STDOUT_FILENO) < 0) _exit(126);
        close(terminal_device);
        close(terminal);
        break;
    }
    redirect(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, STDERR_FILENO);
    execv(program.c_str(), args.data());
    _exit(127);
  }
  if (terminal_device >= 0) close(terminal_device);
  ProgramRun run;
  std::thread feeder;
  if (piped_stdin) {
    close(in.read_end);
    feeder = std::thread(feed, in.write_end, std::cref(*piped_stdin));
  }
  if (stdout_to == Stdout::kHeadPipe) {
    close(out.write_end);
    run.out = read_head(out.read_end, kHeadBytes);
  }
  if (feeder.joinable()) feeder.join();
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);
  run.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  if (terminal >= 0) close(terminal);
  if (stdout_to != Stdout::kHeadPipe) run.out = slurp(out_path);
  run.err = slurp(err_path);
  return run;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "protolib-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string TempDir::write(const std::string &name, const std::string &bytes) const {
  const std::string file = path(name);
  std::ofstream(file, std::ios::binary) << bytes;
  return file;
}

std::string TempDir::fifo(const std::string &name) const {
  const std::string file = path(name);
  if (mkfifo(file.c_str(), 0600) != 0) throw std::runtime_error("mkfifo failed");
  return file;
}
