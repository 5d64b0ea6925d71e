#include "io/byte_io.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "io/stop_signal.h"

namespace io {

namespace {

bool is_regular_file(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// True when fd has bytes (or an end or error) to report without waiting. A poll interrupted by a
// signal says not ready, so the caller looks at the stop request before it could block in read(),
// which SA_RESTART would resume.
bool ready_now(int fd) {
  pollfd input{fd, POLLIN, 0};
  return poll(&input, 1, 0) > 0;
}

}  // namespace

FdSource::FdSource(int fd, std::function<void()> before_wait)
    : fd_(fd), regular_file_(is_regular_file(fd)), before_wait_(std::move(before_wait)) {}

std::ptrdiff_t FdSource::read(uint8_t *buffer, std::size_t capacity) {
  for (;;) {
    if (stop_signal() != 0) return 0;
    if (!regular_file_ && !ready_now(fd_) && !wait_for_input()) return 0;
    const ssize_t n = ::read(fd_, buffer, capacity);
    if (n >= 0 || errno != EINTR) return n < 0 ? -1 : n;
  }
}

bool FdSource::wait_for_input() {
  if (before_wait_) before_wait_();
  pollfd watched[2] = {{fd_, POLLIN, 0}, {stop_signal_fd(), POLLIN, 0}};
  for (;;) {
    if (stop_signal() != 0) return false;
    const int ready = poll(watched, stop_signal_fd() >= 0 ? 2 : 1, -1);
    if (ready < 0 && errno != EINTR) return true;  // the read reports what is wrong
    if (ready > 0 && watched[0].revents != 0) return true;
  }
}

bool FdSink::write(const char *data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n < 0 && errno != 0 ? errno : EIO;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace io
