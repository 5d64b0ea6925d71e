// Reads payload fields in declared order from a cursor, choosing the reader by field type.
#ifndef PROTOLIB_SRC_PAYLOAD_READER_H
#define PROTOLIB_SRC_PAYLOAD_READER_H

#include <protolib/decoder.h>

#include <cstddef>

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
  void read_one(uint16_t &field) { field = be_read_u16(&cursor_); }
  void read_one(int16_t &field) { field = be_read_i16(&cursor_); }
  void read_one(uint32_t &field) { field = be_read_u32(&cursor_); }
  void read_one(int32_t &field) { field = be_read_i32(&cursor_); }
  void read_one(float &field) { field = be_read_f32(&cursor_); }
  void read_one(double &field) { field = be_read_f64(&cursor_); }
  template <typename T, std::size_t N>
  void read_one(T (&elements)[N]) {
    for (T &element : elements) read_one(element);
  }

  const uint8_t *cursor_;
};

}  // namespace protolib

#endif  // PROTOLIB_SRC_PAYLOAD_READER_H
