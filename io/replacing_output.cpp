#include "io/replacing_output.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace io {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The temporary file the signal handler removes; empty when there is none.
char g_temporary[PATH_MAX];
volatile sig_atomic_t g_armed = 0;

void remove_and_reraise(int signal_number) {
  if (g_armed != 0) unlink(g_temporary);
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

// Blocks or unblocks kSignals.
void mask_signals(int how) {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal_number : kSignals) sigaddset(&set, signal_number);
  sigprocmask(how, &set, nullptr);
}

void install_handlers() {
  for (const int signal_number : kSignals) {
    struct sigaction action {};
    if (sigaction(signal_number, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) continue;
    action.sa_handler = remove_and_reraise;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(signal_number, &action, nullptr);
  }
}

// The file path finally names when it is a symbolic link, through as many links as the system
// follows, whether or not that file exists; path itself otherwise. Empty with errno set when a
// link cannot be read or the chain is too long.
std::string link_destination(std::string path) {
  for (int links = 0; links <= 40; ++links) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string target(PATH_MAX, '\0');
    const ssize_t size = readlink(path.c_str(), target.data(), target.size());
    if (size < 0) return std::string();
    target.resize(static_cast<std::size_t>(size));
    const std::size_t slash = path.rfind('/');
    if (!target.empty() && target.front() != '/' && slash != std::string::npos)
      target.insert(0, path, 0, slash + 1);
    path = std::move(target);
  }
  errno = ELOOP;
  return std::string();
}

// The mode a new file gets: 0666 less the umask.
mode_t new_file_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

ReplacingOutput::~ReplacingOutput() {
  if (fd_ >= 0) close(fd_);
  if (!temporary_.empty()) {
    mask_signals(SIG_BLOCK);
    unlink(temporary_.c_str());
    g_armed = 0;
    mask_signals(SIG_UNBLOCK);
  }
}

int ReplacingOutput::open(const std::string &path) {
  destination_ = path;
  struct stat info {};
  const bool exists = stat(path.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd_ >= 0 ? 0 : errno;
  }
  if (exists) {
    char *resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return errno;
    destination_ = resolved;
    std::free(resolved);
  } else {
    destination_ = link_destination(path);
    if (destination_.empty()) return errno;
  }
  const std::size_t slash = destination_.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : destination_.substr(0, slash + 1);
  std::string name = folder + "." + program_ + "-XXXXXX";
  if (name.size() >= sizeof g_temporary) return ENAMETOOLONG;
  install_handlers();
  mask_signals(SIG_BLOCK);
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  const int error = fd < 0 ? errno : 0;
  if (fd >= 0) {
    temporary_ = name;
    std::memcpy(g_temporary, name.c_str(), name.size() + 1);
    g_armed = 1;
  }
  mask_signals(SIG_UNBLOCK);
  if (fd < 0) return error;
  if (fchmod(fd, exists ? info.st_mode & 07777 : new_file_mode()) != 0) {
    const int failure = errno;
    close(fd);
    return failure;
  }
  fd_ = fd;
  return 0;
}

int ReplacingOutput::commit() {
  const int error = close(fd_) == 0 ? 0 : errno;
  fd_ = -1;
  if (error != 0 || temporary_.empty()) return error;
  mask_signals(SIG_BLOCK);
  const int renamed = rename(temporary_.c_str(), destination_.c_str()) == 0 ? 0 : errno;
  if (renamed == 0) {
    temporary_.clear();
    g_armed = 0;
  }
  mask_signals(SIG_UNBLOCK);
  return renamed;
}

}  // namespace io
