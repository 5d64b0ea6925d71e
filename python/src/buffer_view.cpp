#include "python/src/buffer_view.h"

#include <cstring>

namespace py = pybind11;

namespace pyproto {

BufferView::BufferView(const py::handle &object) {
  if (PyObject_GetBuffer(object.ptr(), &view_, PyBUF_FULL_RO) != 0) throw py::error_already_set();
}

void BufferView::copy_to(uint8_t *out) const {
  if (PyBuffer_IsContiguous(&view_, 'C') != 0) {
    std::memcpy(out, view_.buf, size());
  } else if (PyBuffer_ToContiguous(out, &view_, view_.len, 'C') != 0) {
    throw py::error_already_set();
  }
}

}  // namespace pyproto
