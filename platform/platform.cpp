// POSIX (Linux) implementation of the platform layer.
#include "platform/platform.h"

#include <unistd.h>

#include <cstring>

namespace platform {

const char *ExtractFileName(const char *path) {
  if (path == nullptr) return "";
  const char *slash = std::strrchr(path, '/');
  return slash == nullptr ? path : slash + 1;
}

std::string executable_path(const char *fallback) {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length > 0 && static_cast<size_t>(length) < sizeof path) {
    return std::string(path, static_cast<size_t>(length));
  }
  return fallback == nullptr ? std::string() : std::string(fallback);
}

}  // namespace platform
