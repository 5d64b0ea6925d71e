#include "byte_io.h"

#include <unistd.h>

#include <cerrno>

std::ptrdiff_t FdSource::read(uint8_t *buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, capacity);
    if (n >= 0 || errno != EINTR) return n < 0 ? -1 : n;
  }
}

bool FdSink::write(const char *data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}
