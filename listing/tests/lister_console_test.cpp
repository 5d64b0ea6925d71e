// Both listing programs at the console: --help and --version, "-" for standard input, and the
// summary's last line kept visible on a terminal.
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>

#include "testing/program_runner.h"
#include "testing/test_packets.h"

namespace {

struct Lister {
  std::string path;
  std::string name;
  uint8_t type;
  std::size_t payload;  // the size of its type's payload
};

const Lister kListers[] = {{DUMPTEN_PATH, "dumpten", 10, 27}, {DUMPTWO_PATH, "dumptwo", 2, 23}};

std::string as_text(const Bytes &bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// What program writes on standard error when that is a terminal (no newline translation), with
// standard output to /dev/null; the exit status goes to status.
std::string stderr_on_terminal(const std::string &program, const std::string &input, int &status) {
  int terminal = -1;
  int device = -1;
  termios raw{};
  cfmakeraw(&raw);
  if (openpty(&terminal, &device, nullptr, &raw, nullptr) != 0) return "openpty failed";
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(device, STDERR_FILENO);
    execl(program.c_str(), program.c_str(), input.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  close(device);
  std::string received;
  char buffer[4096];
  for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;  // EIO once the child has closed its side
    received.append(buffer, static_cast<std::size_t>(n));
  }
  close(terminal);
  waitpid(child, &status, 0);
  status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return received;
}

TEST(ListerConsole, HelpVersionAndStandardInput) {
  for (const Lister &lister : kListers) {
    SCOPED_TRACE(lister.name);
    const ProgramRun help = run_program(lister.path, {lister.name, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_TRUE(help.out.starts_with("usage: " + lister.name +
                                     " <in_file>\n  output goes to stdout\n\nLists the capture"));
    EXPECT_NE(help.out.find("type-" + std::to_string(lister.type) + "\n"), std::string::npos);

    const ProgramRun version = run_program(lister.path, {lister.name, "--version"});
    EXPECT_EQ(version.out, lister.name + " " + PROJECT_VERSION + "\n");

    Bytes damaged = make_packet(lister.type, Bytes(lister.payload, 9));
    damaged.back() ^= 1;
    const std::string capture =
        as_text(concat({make_packet(lister.type, Bytes(lister.payload, 7)), damaged,
                        make_packet(lister.type, Bytes(lister.payload, 8))}));
    TempDir dir;
    const ProgramRun from_file = run_program(lister.path, {lister.name, dir.write("in", capture)});
    const ProgramRun from_stdin =
        run_program(lister.path, {lister.name, "-"}, Stdout::kCaptured, capture);
    EXPECT_EQ(from_stdin.out, from_file.out);
    EXPECT_EQ(from_stdin.err, "1\r2\r2 good packets\n1 packet errors\r");
    EXPECT_EQ(from_stdin.status, 0);
  }
}

TEST(ListerConsole, HelpOrVersionThatCannotBeWrittenIsAnOutputError) {
  for (const Lister &lister : kListers) {
    for (const char *request : {"--help", "--version"}) {
      SCOPED_TRACE(lister.name + " " + request);
      const ProgramRun run = run_program(lister.path, {lister.name, request}, Stdout::kDevFull);
      EXPECT_EQ(run.err, "error writing output\n");
      EXPECT_EQ(run.status, 2);
    }
  }
}

TEST(ListerConsole, OnATerminalTheSummaryEndsWithANewline) {
  for (const Lister &lister : kListers) {
    SCOPED_TRACE(lister.name);
    TempDir dir;
    const std::string path =
        dir.write("in", as_text(make_packet(lister.type, Bytes(lister.payload, 1))));
    int status = -1;
    EXPECT_EQ(stderr_on_terminal(lister.path, path, status),
              "1\r1 good packets\n0 packet errors\r\n");
    EXPECT_EQ(status, 0);
  }
}

}  // namespace
