// Big-endian field readers: bytes are assembled with shifts only, independent of host order.
#include <protolib/decoder.h>

#include <bit>

extern "C" {

uint16_t be_read_u16(const uint8_t **cursor) {
  const uint8_t *p = *cursor;
  *cursor = p + 2;
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

int16_t be_read_i16(const uint8_t **cursor) {
  return static_cast<int16_t>(be_read_u16(cursor));
}

uint32_t be_read_u32(const uint8_t **cursor) {
  const uint8_t *p = *cursor;
  *cursor = p + 4;
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

int32_t be_read_i32(const uint8_t **cursor) {
  return static_cast<int32_t>(be_read_u32(cursor));
}

float be_read_f32(const uint8_t **cursor) {
  return std::bit_cast<float>(be_read_u32(cursor));
}

double be_read_f64(const uint8_t **cursor) {
  const uint64_t high = be_read_u32(cursor);
  const uint64_t low = be_read_u32(cursor);
  return std::bit_cast<double>((high << 32) | low);
}

}  // extern "C"
