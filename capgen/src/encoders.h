// Record encoders: one complete packet from one record, the exact inverse of the library's
// decode routine of the same type.
#ifndef CAPGEN_SRC_ENCODERS_H
#define CAPGEN_SRC_ENCODERS_H

#include <protolib/decoder.h>

#include <cstdint>

namespace capgen {

// The largest packet any type can make: 255 payload bytes plus sync, type, length, checksums.
inline constexpr int32_t kMaxPacketSize = 261;

// Each writes the packet of its record's type at start (room for kMaxPacketSize bytes needed):
// every field after fresh, in declared order, big-endian, with the length byte and both
// checksums filled in. Returns the packet's size. fresh is not sent.
int32_t encode(uint8_t *start, const Type1Record &record);
int32_t encode(uint8_t *start, const Type2Record &record);
int32_t encode(uint8_t *start, const Type3Record &record);
int32_t encode(uint8_t *start, const Type9Record &record);
int32_t encode(uint8_t *start, const Type10Record &record);
int32_t encode(uint8_t *start, const Type12Record &record);
int32_t encode(uint8_t *start, const Type15Record &record);
int32_t encode(uint8_t *start, const Type20Record &record);
// Types 21 and 22 send the count byte as it is and the first count entries, at most the
// capacity: a count above capacity makes a packet whose count byte claims more than it holds.
int32_t encode(uint8_t *start, const Type21Record &record);
int32_t encode(uint8_t *start, const Type22Record &record);
int32_t encode(uint8_t *start, const Type23Record &record);
int32_t encode(uint8_t *start, const Type25Record &record);
int32_t encode(uint8_t *start, const Type26Record &record);
int32_t encode(uint8_t *start, const Type27Record &record);

}  // namespace capgen

#endif  // CAPGEN_SRC_ENCODERS_H
