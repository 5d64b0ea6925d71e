// Writes payload fields in declared order after a packet header, choosing the writer by field
// type: the sending mirror of the library's payload reader.
#ifndef CAPGEN_SRC_PAYLOAD_WRITER_H
#define CAPGEN_SRC_PAYLOAD_WRITER_H

#include <protolib/writer.h>

#include <cstddef>
#include <cstdint>

namespace capgen {

class PayloadWriter {
 public:
  // Begins a packet of type at start; the buffer needs room for the finished packet.
  PayloadWriter(uint8_t *start, uint8_t type) : start_(start), cursor_(packet_begin(start, type)) {}

  // Writes each field in turn; arrays element by element from index 0.
  template <typename... Fields>
  void write(const Fields &...fields) {
    (write_one(fields), ...);
  }

  // Fills in the length and both checksum bytes; returns the packet's size, payload + 6.
  int32_t finish() { return packet_finish(start_, cursor_); }

 private:
  void write_one(uint8_t field) { *cursor_++ = field; }
  void write_one(uint16_t field) { cursor_ = be_write_u16(cursor_, field); }
  void write_one(int16_t field) { cursor_ = be_write_i16(cursor_, field); }
  void write_one(uint32_t field) { cursor_ = be_write_u32(cursor_, field); }
  void write_one(int32_t field) { cursor_ = be_write_i32(cursor_, field); }
  void write_one(float field) { cursor_ = be_write_f32(cursor_, field); }
  void write_one(double field) { cursor_ = be_write_f64(cursor_, field); }
  template <typename T, std::size_t N>
  void write_one(const T (&elements)[N]) {
    for (const T &element : elements) write_one(element);
  }

  uint8_t *start_;
  uint8_t *cursor_;
};

}  // namespace capgen

#endif  // CAPGEN_SRC_PAYLOAD_WRITER_H
