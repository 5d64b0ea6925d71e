// open_input's outcomes: each kind of name and of standard input under each directory check,
// the bytes then read, which descriptors are closed afterwards, and following a file that shrinks.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

#include "io/input_file.h"
#include "testing/program_runner.h"

namespace {

using io::DirectoryCheck;
using io::InputFault;

// Everything source gives until its end, or nothing when a read fails.
std::optional<std::string> read_all(io::ByteSource &source) {
  std::string bytes;
  uint8_t buffer[256];
  for (std::ptrdiff_t n; (n = source.read(buffer, sizeof buffer)) != 0;) {
    if (n < 0) return std::nullopt;
    bytes.append(reinterpret_cast<const char *>(buffer), static_cast<std::size_t>(n));
  }
  return bytes;
}

// Standard input replaced by the file at path while it lives.
class StdinFrom {
 public:
  explicit StdinFrom(const std::string &path) : saved_(dup(STDIN_FILENO)) {
    const int fd = open(path.c_str(), O_RDONLY);
    dup2(fd, STDIN_FILENO);
    close(fd);
  }
  ~StdinFrom() {
    dup2(saved_, STDIN_FILENO);
    close(saved_);
  }
  StdinFrom(const StdinFrom &) = delete;
  StdinFrom &operator=(const StdinFrom &) = delete;

 private:
  int saved_;
};

TEST(OpenInput, OutcomeOfEachKindOfInput) {
  TempDir dir;
  const std::string file = dir.write("file", "abc");
  const std::string unreadable = dir.write("unreadable", "abc");
  chmod(unreadable.c_str(), 0);
  const std::string closed_dir = dir.path("closed");
  mkdir(closed_dir.c_str(), 0);
  const std::string socket_path = dir.path("socket");
  const int socket_fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socket_path.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(socket_fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
  // Permissions do not stop the superuser.
  const bool root = geteuid() == 0;
  const std::optional<std::string> read_fails;

  struct Case {
    std::string path;
    std::string stdin_from;  // for "-": the file standard input reads
    DirectoryCheck directories;
    InputFault fault;
    int error;
    std::optional<std::string> bytes;  // what is read when it opens; nothing: reading fails
  };
  const Case cases[] = {
      {file, "", DirectoryCheck::kAll, InputFault::kNone, 0, "abc"},
      {dir.path("missing"), "", DirectoryCheck::kAll, InputFault::kMissing, ENOENT, {}},
      {file + "/under", "", DirectoryCheck::kNone, InputFault::kMissing, ENOTDIR, {}},
      {dir.path(""), "", DirectoryCheck::kAll, InputFault::kDirectory, EISDIR, {}},
      {dir.path(""), "", DirectoryCheck::kNamed, InputFault::kDirectory, EISDIR, {}},
      {dir.path(""), "", DirectoryCheck::kNone, InputFault::kNone, 0, read_fails},
      {closed_dir, "", DirectoryCheck::kNamed, InputFault::kDirectory, root ? EISDIR : EACCES, {}},
      {unreadable, "", DirectoryCheck::kAll, root ? InputFault::kNone : InputFault::kCannotOpen,
       root ? 0 : EACCES, "abc"},
      {socket_path, "", DirectoryCheck::kAll, InputFault::kCannotOpen, ENXIO, {}},
      {"-", file, DirectoryCheck::kAll, InputFault::kNone, 0, "abc"},
      {"-", dir.path(""), DirectoryCheck::kAll, InputFault::kDirectory, EISDIR, {}},
      {"-", dir.path(""), DirectoryCheck::kNamed, InputFault::kNone, 0, read_fails},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.path + " < " + c.stdin_from + " check " +
                 std::to_string(static_cast<int>(c.directories)));
    std::optional<StdinFrom> redirected;
    if (!c.stdin_from.empty()) redirected.emplace(c.stdin_from);
    int fd = -1;
    {
      io::InputFile input = io::open_input(c.path.c_str(), {.directories = c.directories});
      EXPECT_EQ(input.fault(), c.fault);
      EXPECT_EQ(input.error(), c.error);
      if (!input.opened()) continue;
      fd = input.fd();
      EXPECT_EQ(read_all(input.source()), c.bytes);
    }
    // A file opened by name is closed with its InputFile; standard input stays open.
    EXPECT_EQ(fcntl(fd, F_GETFD) != -1, c.path == "-");
  }
  close(socket_fd);
  chmod(closed_dir.c_str(), 0700);  // so that the directory can be removed
}

TEST(OpenInput, FollowingReadsAShrunkFileAgainFromItsStart) {
  TempDir dir;
  const std::string path = dir.write("growing", "abcdef");
  int waits = 0;
  int shrinks = 0;
  io::InputFile input = io::open_input(
      path.c_str(),
      {.before_wait = [&waits] { ++waits; }, .follow = true, .shrank = [&shrinks] { ++shrinks; }});
  ASSERT_TRUE(input.opened());
  uint8_t buffer[16];
  ASSERT_EQ(input.source().read(buffer, sizeof buffer), 6);
  ASSERT_EQ(truncate(path.c_str(), 2), 0);
  ASSERT_EQ(input.source().read(buffer, sizeof buffer), 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char *>(buffer), 2), "ab");
  EXPECT_EQ(shrinks, 1);
  EXPECT_GE(waits, 1);
}

}  // namespace
