// file_output.h - buffered text output to an open file descriptor that remembers why a write
// failed, so that the message can say so.
#ifndef CAPDUMP_SRC_FILE_OUTPUT_H
#define CAPDUMP_SRC_FILE_OUTPUT_H

#include <cerrno>
#include <cstddef>
#include <string_view>

#include "capdump/src/options.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "io/byte_io.h"
#include "io/output_buffer.h"

namespace capdump {

class FileOutput {
 public:
  // fd stays open and is not closed here. interactive: fd is a terminal.
  FileOutput(int fd, bool interactive) : sink_(fd), buffer_(sink_, interactive) {}

  io::OutputBuffer &buffer() { return buffer_; }

  // Writes out what is buffered; returns the exit status, with a message naming the output as
  // shown if this or an earlier write failed.
  int finish(std::string_view shown) {
    if (buffer_.flush()) return cli::kDone;
    return cli::report_write_error(kAbout.name, shown, sink_.error());
  }

 private:
  // A file descriptor's sink that keeps the errno value of a failed write.
  class ErrnoSink final : public io::ByteSink {
   public:
    explicit ErrnoSink(int fd) : fd_sink_(fd) {}
    bool write(const char *data, std::size_t size) override {
      if (fd_sink_.write(data, size)) return true;
      error_ = errno != 0 ? errno : EIO;
      return false;
    }
    int error() const { return error_; }

   private:
    io::FdSink fd_sink_;
    int error_ = 0;
  };

  ErrnoSink sink_;
  io::OutputBuffer buffer_;
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_FILE_OUTPUT_H
