#include "python/src/python_source.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

#include "python/src/buffer_view.h"
#include "python/src/interrupt_check.h"

namespace py = pybind11;

namespace pyproto {

class PythonSource::Impl : public io::ByteSource {
 public:
  // Reads as read_some does, running Python's signal handlers first when a check is due; -1
  // once one of them raised.
  std::ptrdiff_t read(uint8_t *buffer, std::size_t capacity) final {
    if (interrupt_.interrupted()) return -1;
    return read_some(buffer, capacity);
  }

  // Raises what made the last read fail: a signal handler's exception, or the source's error.
  void raise_read_error() {
    interrupt_.raise_if_interrupted();
    raise_source_error();
  }

 protected:
  // As ByteSource::read; a source that waits for input checks interrupt() while it waits.
  virtual std::ptrdiff_t read_some(uint8_t *buffer, std::size_t capacity) = 0;
  // Raises what made the last read_some fail.
  virtual void raise_source_error() = 0;

  InterruptCheck &interrupt() { return interrupt_; }

 private:
  InterruptCheck interrupt_;
};

namespace {

// A file opened by path, read through its descriptor. A pipe, FIFO, socket or device is waited
// for in steps of InterruptCheck::kInterval, so that Ctrl-C ends a wait for bytes that never
// come; a regular file never waits.
class PathSource final : public PythonSource::Impl {
 public:
  explicit PathSource(const py::handle &path) {
    const py::module_ os = py::module_::import("os");
    path_ = os.attr("fspath")(path);
    const std::string name = py::bytes(os.attr("fsencode")(path_));
    fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) raise_errno(errno);
    struct stat info {};
    regular_file_ = ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
  }
  ~PathSource() override { ::close(fd_); }
  PathSource(const PathSource &) = delete;
  PathSource &operator=(const PathSource &) = delete;

 protected:
  std::ptrdiff_t read_some(uint8_t *buffer, std::size_t capacity) override {
    for (;;) {
      if (!regular_file_ && !wait_for_input()) return -1;
      const ssize_t n = ::read(fd_, buffer, capacity);
      if (n >= 0) return n;
      if (errno != EINTR) {
        error_ = errno;
        return -1;
      }
      if (interrupt().interrupted(true)) return -1;
    }
  }
  void raise_source_error() override { raise_errno(error_); }

 private:
  // Waits until the descriptor has bytes, an end or an error to report; false when a signal
  // handler raised first.
  bool wait_for_input() {
    pollfd input{fd_, POLLIN, 0};
    const auto step = static_cast<int>(InterruptCheck::kInterval.count());
    for (;;) {
      const int ready = ::poll(&input, 1, step);
      if (ready > 0 || (ready < 0 && errno != EINTR)) return true;  // the read reports an error
      if (interrupt().interrupted(true)) return false;
    }
  }

  // Raises the OSError subclass that error stands for, naming the path.
  [[noreturn]] void raise_errno(int error) {
    errno = error;
    PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, path_.ptr());
    throw py::error_already_set();
  }

  py::object path_;
  int fd_ = -1;
  bool regular_file_ = false;
  int error_ = 0;
};

// The bytes of an object with the buffer protocol, held for as long as the source lives.
class BufferSource final : public PythonSource::Impl {
 public:
  explicit BufferSource(const py::handle &object) {
    if (PyObject_GetBuffer(object.ptr(), &view_, PyBUF_SIMPLE) != 0) throw py::error_already_set();
  }
  ~BufferSource() override { PyBuffer_Release(&view_); }
  BufferSource(const BufferSource &) = delete;
  BufferSource &operator=(const BufferSource &) = delete;

 protected:
  std::ptrdiff_t read_some(uint8_t *buffer, std::size_t capacity) override {
    const auto size = static_cast<std::size_t>(view_.len);
    const std::size_t n = std::min(capacity, size - at_);
    std::memcpy(buffer, static_cast<const uint8_t *>(view_.buf) + at_, n);
    at_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }
  void raise_source_error() override {}  // reading memory never fails

 private:
  Py_buffer view_{};
  std::size_t at_ = 0;
};

// A binary file object: read1(n) where it has one, which returns what a pipe or socket holds
// without waiting for n bytes, else read(n).
class FileObjectSource final : public PythonSource::Impl {
 public:
  explicit FileObjectSource(const py::handle &file)
      : read_(py::hasattr(file, "read1") ? file.attr("read1") : file.attr("read")) {}

 protected:
  std::ptrdiff_t read_some(uint8_t *buffer, std::size_t capacity) override {
    py::gil_scoped_acquire gil;
    try {
      const py::object chunk = read_(capacity);
      if (!PyObject_CheckBuffer(chunk.ptr())) {
        throw py::type_error("the file object's read gave " +
                             std::string(py::str(py::type::handle_of(chunk).attr("__name__"))) +
                             ", not bytes: open the file in binary mode");
      }
      const BufferView bytes(chunk);
      const std::size_t n = bytes.size();
      if (n > capacity) throw py::value_error("the file object's read gave more than was asked");
      bytes.copy_to(buffer);
      return static_cast<std::ptrdiff_t>(n);
    } catch (py::error_already_set &e) {
      error_ = std::move(e);
    } catch (const py::builtin_exception &e) {
      e.set_error();
      error_ = py::error_already_set();
    }
    return -1;
  }
  void raise_source_error() override {
    if (error_) throw std::move(*error_);
  }

 private:
  py::object read_;
  std::optional<py::error_already_set> error_;
};

}  // namespace

PythonSource::PythonSource(const py::handle &source) {
  if (py::isinstance<py::str>(source) || py::hasattr(source, "__fspath__")) {
    impl_ = std::make_unique<PathSource>(source);
  } else if (PyObject_CheckBuffer(source.ptr())) {
    impl_ = std::make_unique<BufferSource>(source);
  } else if (py::hasattr(source, "read")) {
    impl_ = std::make_unique<FileObjectSource>(source);
  } else {
    throw py::type_error(
        "source must be a path (str or os.PathLike), a bytes-like object or a binary file "
        "object, not " +
        std::string(py::str(py::type::handle_of(source).attr("__name__"))));
  }
}

PythonSource::~PythonSource() = default;

io::ByteSource &PythonSource::bytes() {
  return *impl_;
}

void PythonSource::raise_read_error() {
  impl_->raise_read_error();
  throw std::logic_error("a read failed without an error to raise");
}

}  // namespace pyproto
