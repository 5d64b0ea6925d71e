// input_file.h - the one way the programs open what they read: a file by name or, for "-",
// standard input, with the reason when it cannot be read.
#ifndef IO_INPUT_FILE_H
#define IO_INPUT_FILE_H

#include <sys/stat.h>

#include <functional>
#include <optional>
#include <string>

#include "io/byte_io.h"
#include "io/follow_source.h"

namespace io {

// Which inputs open_input refuses when they are directories. An input not refused is read as
// it is: reading a directory then fails.
enum class DirectoryCheck {
  kNone,   // none: a directory opens as any file does
  kNamed,  // a directory given by name; standard input is taken as it is
  kAll,    // any directory, by name or as standard input; so is an input without file status
};

// Why an input is not open.
enum class InputFault {
  kNone,        // it is open
  kMissing,     // the name leads to no file
  kDirectory,   // the name or standard input is a directory, refused
  kCannotOpen,  // it exists but cannot be opened or its status had (permission, a socket, ...)
};

// How to open and read an input.
struct InputOptions {
  DirectoryCheck directories = DirectoryCheck::kAll;
  // Called before each wait for more bytes (FdSource's before_wait), so that what the bytes so
  // far produced goes out first; also at each pause when following.
  std::function<void()> before_wait = {};
  // At the end of a regular file, wait for bytes appended to it as FollowSource does; shrank is
  // called when the file has become shorter than what was read.
  bool follow = false;
  std::function<void()> shrank = {};
  // When following, an output whose end (see FollowSource) ends the input; -1 for none.
  int watched_output = -1;
};

// An input open for reading, or why it is not. A file it opened is closed when it is destroyed;
// standard input stays open.
class InputFile {
 public:
  InputFile(const InputFile &) = delete;
  InputFile &operator=(const InputFile &) = delete;
  ~InputFile();

  bool opened() const { return fault_ == InputFault::kNone; }
  InputFault fault() const { return fault_; }
  // The errno value that says why it is not open (EISDIR for a directory that opened), else 0.
  int error() const { return error_; }
  // The open file descriptor; only when opened().
  int fd() const { return fd_; }
  // The input's file status, zeroed when it could not be had; only when opened().
  const struct stat &status() const { return status_; }
  // True when path, following links, names the regular file this input reads.
  bool is_at(const std::string &path) const;
  // True when fd is open on the regular file this input reads.
  bool is_open_as(int fd) const;
  // True once following ended because the watched output was gone.
  bool output_gone() const { return followed_ && followed_->output_gone(); }
  // Its bytes, read as the options asked; only when opened(). Valid while this object lives.
  ByteSource &source();

 private:
  friend InputFile open_input(const char *path, InputOptions options);
  InputFile(const char *path, InputOptions options);

  int fd_ = -1;
  bool owned_ = false;  // fd_ was opened here and is closed here
  InputFault fault_ = InputFault::kNone;
  int error_ = 0;
  struct stat status_ {};
  std::optional<FdSource> file_;
  std::optional<FollowSource> followed_;
};

// Opens path for reading, or standard input for "-". When opening fails, the fault tells a name
// that leads to no file (or to a refused directory) from one that cannot be opened, and error()
// holds open's errno value.
InputFile open_input(const char *path, InputOptions options = {});

}  // namespace io

#endif  // IO_INPUT_FILE_H
