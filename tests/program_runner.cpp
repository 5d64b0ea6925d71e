#include "program_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

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

}  // namespace

ProgramRun run_program(const std::string &program, const std::vector<std::string> &argv,
                       Stdout stdout_to) {
  TempDir capture;
  const std::string out_path = capture.path("out");
  const std::string err_path = capture.path("err");
  std::vector<char *> args;
  for (const std::string &arg : argv) args.push_back(const_cast<char *>(arg.c_str()));
  args.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    redirect("/dev/null", O_RDONLY, STDIN_FILENO);
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
    }
    redirect(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, STDERR_FILENO);
    execv(program.c_str(), args.data());
    _exit(127);
  }
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);
  ProgramRun run;
  run.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
  run.out = slurp(out_path);
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
