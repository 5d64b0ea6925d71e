// Big-endian assembly of multi-byte fields with shifts only, independent of host byte order.
// Inline so the decode routines read fields without a call per field.
#ifndef PROTOLIB_SRC_BYTE_ORDER_H
#define PROTOLIB_SRC_BYTE_ORDER_H

#include <bit>
#include <cstdint>

namespace protolib {

inline uint16_t load_be16(const uint8_t *p) {
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

inline uint32_t load_be32(const uint8_t *p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

inline uint64_t load_be64(const uint8_t *p) {
  return (uint64_t{load_be32(p)} << 32) | load_be32(p + 4);
}

}  // namespace protolib

#endif  // PROTOLIB_SRC_BYTE_ORDER_H
