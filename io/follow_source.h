// follow_source.h - reads a growing file as tail -f does: its end is a pause, not the end.
#ifndef IO_FOLLOW_SOURCE_H
#define IO_FOLLOW_SOURCE_H

#include <functional>

#include "io/byte_io.h"

namespace io {

// Reads file and, at its end, waits for bytes appended to it instead of ending; only a stop
// signal (stop_signal.h) ends the input. Each time the end is reached it first calls
// before_wait, so that what was read so far is delivered. When the file has become shorter than
// what was read (it was truncated or rewritten), it calls shrank and reads again from its start:
// the bytes read then follow those read before. A file that is not regular (a pipe, a terminal)
// ends as always. While it waits it also watches output, when that is not -1: once nothing can
// read what goes there any more (the reader of a pipe gone, a terminal hung up), the input ends.
class FollowSource final : public ByteSource {
 public:
  FollowSource(FdSource &file, std::function<void()> before_wait, std::function<void()> shrank,
               int output = -1);
  std::ptrdiff_t read(uint8_t *buffer, std::size_t capacity) override;

  // True once the input ended because its output was gone.
  bool output_gone() const { return output_gone_; }

 private:
  // Sleeps a moment or until a stop signal; then goes back to the start if the file shrank.
  void pause();

  FdSource &file_;
  std::function<void()> before_wait_;
  std::function<void()> shrank_;
  int output_;
  bool output_gone_ = false;
};

// Waits until path names a file, looking again after each pause FollowSource makes, as tail -F
// does for a file not yet made. Returns false, still without the file, once a stop signal asks
// to stop.
bool wait_for_file(const char *path);

}  // namespace io

#endif  // IO_FOLLOW_SOURCE_H
