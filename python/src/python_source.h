// python_source.h - the bytes of a capture given from Python: a path, a bytes-like object or a
// binary file object, read as a ByteSource that may be used with the GIL released.
#ifndef PYTHON_SRC_PYTHON_SOURCE_H
#define PYTHON_SRC_PYTHON_SOURCE_H

#include <pybind11/pybind11.h>

#include <memory>

#include "io/byte_io.h"

namespace pyproto {

// An opened capture. Construct and destroy it with the GIL held; read from bytes() with the GIL
// released (a file object's read is called with the GIL taken back for the call). Reading takes
// the GIL back at least every InterruptCheck::kInterval, waits for input included, to run
// Python's signal handlers; a read fails once one raised (Ctrl-C's KeyboardInterrupt).
class PythonSource {
 public:
  // Opens source: a str or os.PathLike path, an object with the buffer protocol, or an object
  // with read(). Raises FileNotFoundError or another OSError naming the path when it cannot be
  // opened, TypeError for anything else.
  explicit PythonSource(const pybind11::handle &source);
  ~PythonSource();
  PythonSource(const PythonSource &) = delete;
  PythonSource &operator=(const PythonSource &) = delete;

  io::ByteSource &bytes();

  // With the GIL held, after a read returned -1: raises what made it fail, a signal handler's
  // exception, an OSError naming the path or the exception the file object's read raised.
  [[noreturn]] void raise_read_error();

  class Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace pyproto

#endif  // PYTHON_SRC_PYTHON_SOURCE_H
