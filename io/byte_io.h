// byte_io.h - where a program takes its bytes from and puts its text: file descriptors for the
// programs, anything else (memory, for instance) for tests and fuzzing.
#ifndef IO_BYTE_IO_H
#define IO_BYTE_IO_H

#include <cstddef>
#include <cstdint>
#include <functional>

namespace io {

// A stream of input bytes.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to capacity bytes into buffer. Returns the count, 0 at end of input, or -1 when
  // reading failed (the bytes of earlier calls stay valid).
  virtual std::ptrdiff_t read(uint8_t *buffer, std::size_t capacity) = 0;
};

// A destination for output text.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all size bytes. Returns false when they could not all be written.
  virtual bool write(const char *data, std::size_t size) = 0;
};

// Reads an open file descriptor, retrying interrupted reads. Does not close it. Once a stop
// signal has arrived (stop_signal.h) it reads no more and gives 0, the end of input.
// Before a read that would wait for bytes (a pipe, FIFO, socket or terminal with none ready),
// it calls before_wait, if set, so that what the bytes so far produced is delivered first, and
// then waits for input or a stop signal. A regular file never waits and costs nothing extra.
class FdSource final : public ByteSource {
 public:
  explicit FdSource(int fd, std::function<void()> before_wait = {});
  std::ptrdiff_t read(uint8_t *buffer, std::size_t capacity) override;

  int fd() const { return fd_; }
  // True when fd is a regular file: reading it never waits.
  bool regular_file() const { return regular_file_; }

 private:
  // Waits until fd has bytes or a stop was asked for; false in the second case.
  bool wait_for_input();

  int fd_;
  bool regular_file_;
  std::function<void()> before_wait_;
};

// Writes to an open file descriptor, retrying interrupted and partial writes. Does not close it.
class FdSink final : public ByteSink {
 public:
  explicit FdSink(int fd) : fd_(fd) {}
  bool write(const char *data, std::size_t size) override;

  // Why the latest write that failed did: its errno value (EIO when the system gave none); 0
  // when none failed.
  int error() const { return error_; }

 private:
  int fd_;
  int error_ = 0;
};

}  // namespace io

#endif  // IO_BYTE_IO_H
