#include "python/src/growing_table.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <utility>

namespace pyproto {

namespace {

constexpr std::size_t kFirstMapping = std::size_t{64} * 1024;

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

TableMemory GrowingTable::take() {
  const std::size_t kept = whole_pages(used_);
  if (kept < mapped_) ::munmap(data_ + kept, mapped_ - kept);
  const TableMemory memory{kept > 0 ? data_ : nullptr, kept, rows()};
  data_ = nullptr;
  mapped_ = 0;
  used_ = 0;
  return memory;
}

}  // namespace pyproto
