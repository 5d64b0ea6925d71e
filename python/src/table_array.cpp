#include "python/src/table_array.h"

#include <sys/mman.h>

#include <functional>
#include <numeric>
#include <stdexcept>

namespace py = pybind11;

namespace pyproto {

namespace {

// A mapping handed to NumPy, unmapped when the last array over it goes.
void unmap(void *capsule_pointer) {
  auto *memory = static_cast<TableMemory *>(capsule_pointer);
  if (memory->size > 0) ::munmap(memory->data, memory->size);
  delete memory;
}

}  // namespace

py::array release_table(GrowingTable &table, const py::dtype &dtype,
                        const std::vector<py::ssize_t> &row_shape) {
  const py::ssize_t items =
      std::accumulate(row_shape.begin(), row_shape.end(), py::ssize_t{1}, std::multiplies<>());
  if (static_cast<std::size_t>(dtype.itemsize() * items) != table.row_size()) {
    throw std::logic_error("a table's dtype does not match its rows");
  }
  auto *memory = new TableMemory(table.take());
  const py::capsule owner(memory, unmap);
  std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(memory->rows)};
  shape.insert(shape.end(), row_shape.begin(), row_shape.end());
  if (memory->rows == 0) return py::array(dtype, shape, {});
  return py::array(dtype, shape, {}, memory->data, owner);
}

}  // namespace pyproto
