// buffer_view.h - the bytes of any object with the buffer protocol, taken in the order its items
// are indexed whatever its strides: a strided view read as a pointer and a size would give the
// wrong bytes, or bytes from outside the buffer.
#ifndef PYTHON_SRC_BUFFER_VIEW_H
#define PYTHON_SRC_BUFFER_VIEW_H

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>

namespace pyproto {

class BufferView {
 public:
  // Holds a view of object's buffer; raises TypeError when it has none.
  explicit BufferView(const pybind11::handle &object);
  ~BufferView() { PyBuffer_Release(&view_); }
  BufferView(const BufferView &) = delete;
  BufferView &operator=(const BufferView &) = delete;

  // The bytes it holds.
  std::size_t size() const { return static_cast<std::size_t>(view_.len); }
  // Copies them to out, size() bytes, in C order.
  void copy_to(uint8_t *out) const;

 private:
  Py_buffer view_{};
};

}  // namespace pyproto

#endif  // PYTHON_SRC_BUFFER_VIEW_H
