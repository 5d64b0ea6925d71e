// An output file that appears whole or not at all: written under a temporary name in its own
// folder and renamed over the destination once everything is written, so a failed or interrupted
// run leaves an existing file as it was, and no temporary file behind.
#ifndef IO_REPLACING_OUTPUT_H
#define IO_REPLACING_OUTPUT_H

#include <string>
#include <utility>

namespace io {

class ReplacingOutput {
 public:
  // program names the temporary file: ".PROGRAM-XXXXXX".
  explicit ReplacingOutput(std::string program) : program_(std::move(program)) {}
  ReplacingOutput(const ReplacingOutput &) = delete;
  ReplacingOutput &operator=(const ReplacingOutput &) = delete;
  // Closes the file and removes the temporary file unless commit succeeded.
  ~ReplacingOutput();

  // Opens the file at path for writing. When path names an existing file that is not a regular
  // file (a terminal, a pipe, /dev/null), it is written directly; otherwise a temporary file is
  // made beside the destination (the file a symbolic link points to, whether or not it exists
  // yet), with the destination's permissions or, for a new file, those a new file gets. Until
  // commit or destruction, SIGINT, SIGTERM, SIGHUP and SIGQUIT (unless ignored) remove the
  // temporary file before ending the process as they would have. One output may be open at a
  // time in a process. Returns 0, or the errno value of the failure.
  int open(const std::string &path);

  // The file descriptor to write to, once open returned 0; commit closes it.
  int fd() const { return fd_; }

  // Closes the file and puts the temporary file in place of the destination. Returns 0, or the
  // errno value of the failure (the temporary file is then removed).
  int commit();

 private:
  std::string program_;
  int fd_ = -1;
  std::string destination_;
  std::string temporary_;  // empty when the destination is written directly
};

}  // namespace io

#endif  // IO_REPLACING_OUTPUT_H
