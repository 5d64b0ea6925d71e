// Packet writer: the sending counterpart of the framer and of the big-endian readers.
#include <protolib/wire.h>
#include <protolib/writer.h>

#include <bit>

extern "C" {

uint8_t *packet_begin(uint8_t *start, uint8_t type) {
  start[0] = WIRE_SYNC1;
  start[1] = WIRE_SYNC2;
  start[2] = type;
  start[3] = 0;
  return start + WIRE_HEADER_SIZE;
}

uint8_t *be_write_u16(uint8_t *pos, uint16_t value) {
  pos[0] = static_cast<uint8_t>(value >> 8);
  pos[1] = static_cast<uint8_t>(value);
  return pos + 2;
}

uint8_t *be_write_i16(uint8_t *pos, int16_t value) {
  return be_write_u16(pos, static_cast<uint16_t>(value));
}

uint8_t *be_write_u32(uint8_t *pos, uint32_t value) {
  pos[0] = static_cast<uint8_t>(value >> 24);
  pos[1] = static_cast<uint8_t>(value >> 16);
  pos[2] = static_cast<uint8_t>(value >> 8);
  pos[3] = static_cast<uint8_t>(value);
  return pos + 4;
}

uint8_t *be_write_i32(uint8_t *pos, int32_t value) {
  return be_write_u32(pos, static_cast<uint32_t>(value));
}

uint8_t *be_write_f32(uint8_t *pos, float value) {
  return be_write_u32(pos, std::bit_cast<uint32_t>(value));
}

uint8_t *be_write_f64(uint8_t *pos, double value) {
  const auto bits = std::bit_cast<uint64_t>(value);
  return be_write_u32(be_write_u32(pos, static_cast<uint32_t>(bits >> 32)),
                      static_cast<uint32_t>(bits));
}

int32_t packet_finish(uint8_t *start, uint8_t *end) {
  start[3] = static_cast<uint8_t>(end - start - WIRE_HEADER_SIZE);
  uint8_t sum_a = 0;
  uint8_t sum_b = 0;
  for (const uint8_t *p = start + 2; p != end; ++p) {
    sum_a = static_cast<uint8_t>(sum_a + *p);
    sum_b = static_cast<uint8_t>(sum_b + sum_a);
  }
  end[0] = sum_a;
  end[1] = sum_b;
  return static_cast<int32_t>(end + WIRE_CHECKSUM_SIZE - start);
}

}  // extern "C"
