#include "python/src/table_array.h"

#include <sys/mman.h>

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

py::array release_table(GrowingTable &table, const py::dtype &dtype) {
  if (static_cast<std::size_t>(dtype.itemsize()) != table.row_size()) {
    throw std::logic_error("a table's dtype does not match its rows");
  }
  auto *memory = new TableMemory(table.take());
  const py::capsule owner(memory, unmap);
  if (memory->rows == 0) return py::array(dtype, {py::ssize_t{0}}, {});
  return py::array(dtype, {static_cast<py::ssize_t>(memory->rows)}, {}, memory->data, owner);
}

}  // namespace pyproto
