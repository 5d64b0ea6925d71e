/* writer.h - builds packets in the wire format inside a buffer the caller supplies.
 *
 * Calling order: packet_begin; then writers and direct byte stores, each at the position the
 * step before returned; then packet_finish with the final position. The buffer needs room for
 * L + 6 bytes from the start, and L may not exceed 255. Every writer is the exact inverse of the
 * reader of the same type in decoder.h. Nothing is allocated, checked or remembered. */
#ifndef PROTOLIB_WRITER_H
#define PROTOLIB_WRITER_H

#include <stdint.h>

#include <protolib/decoder.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Stores 0x81 0xA1, type and a placeholder length 0 at start. Returns start + 4, the first
 * payload position. */
uint8_t *packet_begin(uint8_t *start, uint8_t type);

/* Each stores value most significant byte first at pos and returns pos plus its width. Signed
 * values are stored as their two's-complement pattern, floating-point values as their IEEE-754
 * bit pattern. */
uint8_t *be_write_u16(uint8_t *pos, uint16_t value);
uint8_t *be_write_i16(uint8_t *pos, int16_t value);
uint8_t *be_write_u32(uint8_t *pos, uint32_t value);
uint8_t *be_write_i32(uint8_t *pos, int32_t value);
uint8_t *be_write_f32(uint8_t *pos, float value);
uint8_t *be_write_f64(uint8_t *pos, double value);

/* Fills in the length byte (the low 8 bits of end - start - 4) and stores checksum A at end and
 * B at end + 1, summed over type, length and payload. Returns the packet's size, L + 6. Calling
 * it again on an unchanged packet writes the same bytes. */
int32_t packet_finish(uint8_t *start, uint8_t *end);

/* ---- Encoders ----------------------------------------------------------------------------- */
/* Each writes the whole packet of its record's type at start, which needs room for
 * WIRE_MAX_PACKET bytes (<protolib/wire.h>): every field after fresh in declared order,
 * big-endian, then the length byte and both checksums. The exact inverse of the decode routine
 * of the same type; fresh is not sent. Returns the packet's size, L + 6. */

/* Types with counted entries send the count byte as it is and the first count entries, at most
 * the capacity: a count above the capacity makes a packet whose count byte claims more than it
 * holds. */
#define PROTOLIB_PACKET(number, fields) \
  int32_t encode_type##number(const Type##number##Record *record, uint8_t *start);
#include <protolib/packet_types.def>

#ifdef __cplusplus
}
#endif

#endif /* PROTOLIB_WRITER_H */
