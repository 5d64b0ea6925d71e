// growing_table.h - rows of one size appended one at a time and handed to NumPy as one array
// (of records, or of numbers with a row of them a line) without a copy: the memory is mapped from
// the system, grows by remapping (no copy, no second block held while growing) and is trimmed to
// the rows when handed over.
#ifndef PYTHON_SRC_GROWING_TABLE_H
#define PYTHON_SRC_GROWING_TABLE_H

#include <pybind11/numpy.h>

#include <cstddef>
#include <cstdint>
#include <vector>

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

  // With the GIL held: the rows as an array of dtype shaped (rows, *row_shape): one row of
  // row_shape's items, whose itemsize times their count must be the row size (by default one
  // item a row). The array owns the memory from then on; the table is left empty.
  pybind11::array release(const pybind11::dtype &dtype,
                          const std::vector<pybind11::ssize_t> &row_shape = {});

 private:
  void grow();

  std::size_t row_size_;
  uint8_t *data_ = nullptr;
  std::size_t mapped_ = 0;
  std::size_t used_ = 0;
};

}  // namespace pyproto

#endif  // PYTHON_SRC_GROWING_TABLE_H
