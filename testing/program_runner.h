// Runs a built program as a child process and captures what it wrote and how it ended.
#ifndef TESTING_PROGRAM_RUNNER_H
#define TESTING_PROGRAM_RUNNER_H

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct ProgramRun {
  std::string out;  // standard output
  std::string err;  // standard error
  int status = -1;  // exit status, or 128 + signal number
};

// Where the child's standard output goes. kHeadPipe is a pipe whose reader keeps the first
// kHeadBytes bytes and then closes it, as `program | head -c 100` does. kTerminal is a
// pseudo-terminal that nothing reads: for programs that must refuse to write to one.
enum class Stdout { kCaptured, kDevFull, kClosed, kHeadPipe, kTerminal };
inline constexpr std::size_t kHeadBytes = 100;

// Runs program with argv (argv[0] included, so it can differ from the program's path). Standard
// input is /dev/null, or with piped_stdin a pipe that receives those bytes and then ends. The
// child starts with SIGPIPE at its default action whatever the test process does with it.
ProgramRun run_program(const std::string &program, const std::vector<std::string> &argv,
                       Stdout stdout_to = Stdout::kCaptured,
                       const std::optional<std::string> &piped_stdin = std::nullopt);

// A fresh directory for one test's files, removed with everything in it at destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  // Writes bytes to a file of that name inside the directory and returns its path.
  std::string write(const std::string &name, const std::string &bytes) const;
  std::string path(const std::string &name) const { return dir_ + "/" + name; }
  // Makes a FIFO of that name inside the directory and returns its path.
  std::string fifo(const std::string &name) const;

 private:
  std::string dir_;
};

#endif  // TESTING_PROGRAM_RUNNER_H
