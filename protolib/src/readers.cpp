// Big-endian field readers of the public API.
#include <protolib/decoder.h>

#include "protolib/src/byte_order.h"

using protolib::load_be16;
using protolib::load_be32;
using protolib::load_be64;

extern "C" {

uint16_t be_read_u16(const uint8_t **cursor) {
  const uint16_t value = load_be16(*cursor);
  *cursor += 2;
  return value;
}

int16_t be_read_i16(const uint8_t **cursor) {
  return static_cast<int16_t>(be_read_u16(cursor));
}

uint32_t be_read_u32(const uint8_t **cursor) {
  const uint32_t value = load_be32(*cursor);
  *cursor += 4;
  return value;
}

int32_t be_read_i32(const uint8_t **cursor) {
  return static_cast<int32_t>(be_read_u32(cursor));
}

float be_read_f32(const uint8_t **cursor) {
  return std::bit_cast<float>(be_read_u32(cursor));
}

double be_read_f64(const uint8_t **cursor) {
  const uint64_t bits = load_be64(*cursor);
  *cursor += 8;
  return std::bit_cast<double>(bits);
}

}  // extern "C"
