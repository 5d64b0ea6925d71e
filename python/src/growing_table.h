// growing_table.h - rows of one size appended one at a time and handed to NumPy as one array
// without a copy: the memory is mapped from the system, grows by remapping (no copy, no second
// block held while growing) and is trimmed to the rows when handed over.
#ifndef PYTHON_SRC_GROWING_TABLE_H
#define PYTHON_SRC_GROWING_TABLE_H

#include <pybind11/numpy.h>

#include <cstddef>
#include <cstdint>

namespace pyproto {

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

  // With the GIL held: the rows as a one-dimensional array of dtype, whose itemsize must be the
  // row size. The array owns the memory from then on; the table is left empty.
  pybind11::array release(const pybind11::dtype &dtype);

 private:
  void grow();

  std::size_t row_size_;
  uint8_t *data_ = nullptr;
  std::size_t mapped_ = 0;
  std::size_t used_ = 0;
};

}  // namespace pyproto

#endif  // PYTHON_SRC_GROWING_TABLE_H
