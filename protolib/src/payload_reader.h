// Reads payload fields in declared order from a cursor, choosing the reader by field type.
#ifndef PROTOLIB_SRC_PAYLOAD_READER_H
#define PROTOLIB_SRC_PAYLOAD_READER_H

#include <bit>
#include <cstddef>
#include <cstdint>

#include "byte_order.h"

namespace protolib {

class PayloadReader {
 public:
  // Starts at the first payload byte; length_byte is the packet's length byte, never read.
  explicit PayloadReader(const uint8_t *length_byte) : cursor_(length_byte + 1) {}

  // Reads each field in turn; arrays element by element from index 0.
  template <typename... Fields>
  void read(Fields &...fields) {
    (read_one(fields), ...);
  }

 private:
  void read_one(uint8_t &field) { field = *cursor_++; }
  void read_one(uint16_t &field) { field = load_be16(take(2)); }
  void read_one(int16_t &field) { field = static_cast<int16_t>(load_be16(take(2))); }
  void read_one(uint32_t &field) { field = load_be32(take(4)); }
  void read_one(int32_t &field) { field = static_cast<int32_t>(load_be32(take(4))); }
  void read_one(float &field) { field = std::bit_cast<float>(load_be32(take(4))); }
  void read_one(double &field) { field = std::bit_cast<double>(load_be64(take(8))); }
  template <typename T, std::size_t N>
  void read_one(T (&elements)[N]) {
    for (T &element : elements) read_one(element);
  }

  // Returns the cursor and moves it past width bytes.
  const uint8_t *take(int width) {
    const uint8_t *field = cursor_;
    cursor_ += width;
    return field;
  }

  const uint8_t *cursor_;
};

}  // namespace protolib

#endif  // PROTOLIB_SRC_PAYLOAD_READER_H
