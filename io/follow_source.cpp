#include "io/follow_source.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "io/stop_signal.h"

namespace io {

namespace {

// How long to sleep at the end of the file before looking again: short enough that a line
// follows its packet within a few tens of milliseconds, long enough to cost nothing.
constexpr int kPauseMs = 20;

}  // namespace

FollowSource::FollowSource(FdSource &file, std::function<void()> before_wait,
                           std::function<void()> shrank, int output)
    : file_(file),
      before_wait_(std::move(before_wait)),
      shrank_(std::move(shrank)),
      output_(output) {}

std::ptrdiff_t FollowSource::read(uint8_t *buffer, std::size_t capacity) {
  for (;;) {
    const std::ptrdiff_t n = file_.read(buffer, capacity);
    if (n != 0 || !file_.regular_file() || stop_signal() != 0 || output_gone_) return n;
    pause();
  }
}

void FollowSource::pause() {
  if (before_wait_) before_wait_();
  // The output is polled for no event: poll reports POLLERR and POLLHUP all the same.
  pollfd waits[] = {{stop_signal_fd(), POLLIN, 0}, {output_, 0, 0}};
  poll(waits, 2, kPauseMs);
  if ((waits[1].revents & (POLLERR | POLLHUP)) != 0) output_gone_ = true;
  struct stat info {};
  const off_t position = lseek(file_.fd(), 0, SEEK_CUR);
  if (fstat(file_.fd(), &info) == 0 && position > info.st_size) {
    if (shrank_) shrank_();
    lseek(file_.fd(), 0, SEEK_SET);
  }
}

bool wait_for_file(const char *path) {
  struct stat info {};
  while (stat(path, &info) != 0) {
    if (stop_signal() != 0) return false;
    pollfd stop{stop_signal_fd(), POLLIN, 0};
    poll(&stop, stop.fd >= 0 ? 1 : 0, kPauseMs);
  }
  return true;
}

}  // namespace io
