// growing_table.h - rows of one size appended one at a time and handed over as one block without
// a copy (to NumPy by table_array.h): the memory is mapped from the system, grows by remapping
// (no copy, no second block held while growing) and is trimmed to the rows when handed over.
// Needs no Python.
#ifndef PYTHON_SRC_GROWING_TABLE_H
#define PYTHON_SRC_GROWING_TABLE_H

#include <cstddef>
#include <cstdint>

namespace pyproto {

// A table's rows as handed over: a mapping of size bytes (whole pages; 0 and no mapping for no
// rows) whose first rows rows are the table's. Whoever takes it unmaps it.
struct TableMemory {
  void *data = nullptr;
  std::size_t size = 0;
  std::size_t rows = 0;
};

class GrowingTable {
 public:
  explicit GrowingTable(std::size_t row_size) : row_size_(row_size) {}
  ~GrowingTable();
  GrowingTable(GrowingTable &&other) noexcept;
  GrowingTable &operator=(GrowingTable &&) = delete;
  GrowingTable(const GrowingTable &) = delete;
  GrowingTable &operator=(const GrowingTable &) = delete;

  // Room for one more row, zero-filled. Throws std::bad_alloc when memory runs out.
  uint8_t *append() {
    if (used_ + row_size_ > mapped_) grow();
    uint8_t *row = data_ + used_;
    used_ += row_size_;
    return row;
  }

  std::size_t rows() const { return used_ / row_size_; }
  std::size_t row_size() const { return row_size_; }
  // The rows appended, one after another.
  const uint8_t *data() const { return data_; }

  // Hands the rows over, trimmed to whole pages; the table is left empty.
  TableMemory take();

 private:
  void grow();

  std::size_t row_size_;
  uint8_t *data_ = nullptr;
  std::size_t mapped_ = 0;
  std::size_t used_ = 0;
};

}  // namespace pyproto

#endif  // PYTHON_SRC_GROWING_TABLE_H
