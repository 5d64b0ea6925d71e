// Collects the capture in one large block and hands each full block to a sink, so memory stays
// bounded however long the capture is.
#ifndef CAPGEN_SRC_BLOCK_OUTPUT_H
#define CAPGEN_SRC_BLOCK_OUTPUT_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace capgen {

// Takes size bytes at data; returns false when they could not be written, which stops the
// capture.
using Sink = std::function<bool(const uint8_t *data, std::size_t size)>;

class BlockOutput {
 public:
  // sink must outlive the output.
  BlockOutput(const Sink &sink, std::size_t block_size)
      : sink_(sink), size_(block_size), block_(std::make_unique_for_overwrite<uint8_t[]>(size_)) {}

  // A position with room for n bytes, at most the block size; hands the block held so far to
  // the sink first when it lacks that room.
  uint8_t *reserve(std::size_t n) {
    if (size_ - used_ < n) flush();
    return block_.get() + used_;
  }

  // Adds the first n bytes at the position reserve returned.
  void commit(std::size_t n) {
    used_ += n;
    committed_ += n;
  }

  // Hands the bytes held to the sink; after a failure nothing more reaches it.
  void flush() {
    if (used_ > 0 && !failed_) failed_ = !sink_(block_.get(), used_);
    used_ = 0;
  }

  bool failed() const { return failed_; }
  // Bytes committed since creation.
  uint64_t committed() const { return committed_; }

 private:
  const Sink &sink_;
  std::size_t size_;
  std::unique_ptr<uint8_t[]> block_;  // written before it is read
  std::size_t used_ = 0;
  uint64_t committed_ = 0;
  bool failed_ = false;
};

}  // namespace capgen

#endif  // CAPGEN_SRC_BLOCK_OUTPUT_H
