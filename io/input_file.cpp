#include "io/input_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace io {

InputFile::InputFile(const char *path, InputOptions options) {
  const bool standard_input = std::strcmp(path, "-") == 0;
  fd_ = standard_input ? STDIN_FILENO : open(path, O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    error_ = errno;
    struct stat named {};
    fault_ = stat(path, &named) != 0  ? InputFault::kMissing
             : S_ISDIR(named.st_mode) ? InputFault::kDirectory
                                      : InputFault::kCannotOpen;
    return;
  }
  owned_ = !standard_input;
  const bool checked = options.directories == DirectoryCheck::kAll ||
                       (options.directories == DirectoryCheck::kNamed && !standard_input);
  const int status_error = fstat(fd_, &status_) == 0 ? 0 : errno;
  if (status_error != 0) status_ = {};
  if (checked && status_error != 0) {
    error_ = status_error;
    fault_ = InputFault::kCannotOpen;
    return;
  }
  if (checked && S_ISDIR(status_.st_mode)) {
    error_ = EISDIR;
    fault_ = InputFault::kDirectory;
    return;
  }
  file_.emplace(fd_, options.before_wait);
  if (options.follow) {
    followed_.emplace(*file_, std::move(options.before_wait), std::move(options.shrank),
                      options.watched_output);
  }
}

InputFile::~InputFile() {
  if (owned_) close(fd_);
}

namespace {

// True when a and b are the status of one regular file.
bool same_regular_file(const struct stat &a, const struct stat &b) {
  return S_ISREG(a.st_mode) && S_ISREG(b.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

bool InputFile::is_at(const std::string &path) const {
  struct stat there {};
  return opened() && stat(path.c_str(), &there) == 0 && same_regular_file(status_, there);
}

bool InputFile::is_open_as(int fd) const {
  struct stat there {};
  return opened() && fstat(fd, &there) == 0 && same_regular_file(status_, there);
}

ByteSource &InputFile::source() {
  if (followed_) return *followed_;
  return *file_;
}

InputFile open_input(const char *path, InputOptions options) {
  return InputFile(path, std::move(options));
}

}  // namespace io
