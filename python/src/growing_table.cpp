#include "python/src/growing_table.h"

#include <sys/mman.h>
#include <unistd.h>

#include <functional>
#include <new>
#include <numeric>
#include <stdexcept>
#include <utility>

namespace py = pybind11;

namespace pyproto {

namespace {

constexpr std::size_t kFirstMapping = std::size_t{64} * 1024;

// A mapping handed to NumPy, unmapped when the last array over it goes.
struct Mapping {
  void *data;
  std::size_t size;
};

void unmap(void *capsule_pointer) {
  auto *mapping = static_cast<Mapping *>(capsule_pointer);
  if (mapping->size > 0) ::munmap(mapping->data, mapping->size);
  delete mapping;
}

std::size_t whole_pages(std::size_t bytes) {
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return (bytes + page - 1) / page * page;
}

}  // namespace

GrowingTable::~GrowingTable() {
  if (mapped_ > 0) ::munmap(data_, mapped_);
}

GrowingTable::GrowingTable(GrowingTable &&other) noexcept
    : row_size_(other.row_size_),
      data_(std::exchange(other.data_, nullptr)),
      mapped_(std::exchange(other.mapped_, 0)),
      used_(std::exchange(other.used_, 0)) {}

void GrowingTable::grow() {
  const std::size_t size =
      whole_pages(mapped_ == 0 ? std::max(kFirstMapping, row_size_) : 2 * mapped_);
  void *data = mapped_ == 0 ? ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                            : ::mremap(data_, mapped_, size, MREMAP_MAYMOVE);
  if (data == MAP_FAILED) throw std::bad_alloc();
  // Large pages where the system grants them: far fewer page faults as the rows are written.
  // Only pages written are resident, so the memory held stays that of the rows.
  ::madvise(data, size, MADV_HUGEPAGE);
  data_ = static_cast<uint8_t *>(data);
  mapped_ = size;
}

py::array GrowingTable::release(const py::dtype &dtype, const std::vector<py::ssize_t> &row_shape) {
  const py::ssize_t items =
      std::accumulate(row_shape.begin(), row_shape.end(), py::ssize_t{1}, std::multiplies<>());
  if (static_cast<std::size_t>(dtype.itemsize() * items) != row_size_) {
    throw std::logic_error("a table's dtype does not match its rows");
  }
  std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(rows())};
  shape.insert(shape.end(), row_shape.begin(), row_shape.end());
  const std::size_t kept = whole_pages(used_);
  if (kept < mapped_) ::munmap(data_ + kept, mapped_ - kept);
  auto *mapping = new Mapping{data_, kept};
  data_ = nullptr;
  mapped_ = 0;
  used_ = 0;
  const py::capsule owner(mapping, unmap);
  if (shape[0] == 0) return py::array(dtype, shape, {});
  return py::array(dtype, shape, {}, mapping->data, owner);
}

}  // namespace pyproto
