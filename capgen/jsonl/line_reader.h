// Lines of text from a byte source, each at most a set length, so one endless line costs no more
// memory than that length; a failed read is told apart from the end of input.
#ifndef CAPGEN_SRC_LINE_READER_H
#define CAPGEN_SRC_LINE_READER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "io/byte_io.h"

namespace capgen {

class LineReader {
 public:
  enum class Result {
    kLine,     // a line is read
    kTooLong,  // a line longer than the limit was passed over, up to and including its '\n'
    kEnd,      // the input has ended
    kFailed,   // reading failed: error() says why
  };

  // in must outlive the reader. Lines longer than max_line bytes ('\n' not counted) are
  // passed over.
  LineReader(io::ByteSource &in, std::size_t max_line);

  // Reads the next line. With kLine, line holds it without its '\n' until the next call; the
  // last line of the input needs no '\n'. After kEnd or kFailed every call returns the same.
  Result next(std::string_view &line);

  // The errno value of the failed read (EIO when the source set none); 0 before any failure.
  int error() const { return error_; }

 private:
  // Reads more bytes into the block; false at the end of input or on failure.
  bool refill();

  io::ByteSource &in_;
  std::size_t max_line_;
  std::unique_ptr<uint8_t[]> block_;
  std::size_t at_ = 0;
  std::size_t end_ = 0;
  std::string line_;
  bool ended_ = false;
  int error_ = 0;
};

}  // namespace capgen

#endif  // CAPGEN_SRC_LINE_READER_H
