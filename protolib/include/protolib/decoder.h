/* decoder.h - turns checked packets into a table of latest values, one record per packet type,
 * and the big-endian field readers that decoding is built on.
 *
 * Every record begins with fresh, set to 1 each time a packet of its type is decoded; the
 * library never clears it, consumers do. The payload carries every field after fresh in declared
 * order, big-endian, with no gaps.
 *
 * Untrusted input: no decode routine reads past the packet buffer. A payload shorter than its
 * layout is decoded all the same; fields past its end take the bytes the buffer holds there
 * (left by earlier, longer packets, or zero). Counts above an entry list's capacity are lowered
 * to the capacity. */
#ifndef PROTOLIB_DECODER_H
#define PROTOLIB_DECODER_H

#include <stdint.h>

#include <protolib/framer.h>
#include <protolib/ring.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Big-endian readers ------------------------------------------------------------------- */
/* Each reads its bytes most significant first at *cursor, advances *cursor past them and
 * returns the value. f32 and f64 take the bytes as the bit pattern of the IEEE-754 value. */

int16_t be_read_i16(const uint8_t **cursor);
uint16_t be_read_u16(const uint8_t **cursor);
int32_t be_read_i32(const uint8_t **cursor);
uint32_t be_read_u32(const uint8_t **cursor);
float be_read_f32(const uint8_t **cursor);
double be_read_f64(const uint8_t **cursor);

/* ---- Records ------------------------------------------------------------------------------ */
/* One record a catalogue type, TypeNRecord, declared by the type's block in
 * <protolib/packet_types.def>: uint8_t fresh, then the payload's fields in wire order with the
 * block's names and C types. A counted list is uint8_t count, the count byte as sent lowered to
 * TYPEN_CAPACITY when larger, then TypeNEntry entries[TYPEN_CAPACITY], of which the first count
 * are from the latest packet. */

#define PROTOLIB_SCALAR(type, name) type name;
#define PROTOLIB_ARRAY(type, name, length) type name[length];
#define PROTOLIB_COUNTED(count, Entry, entries, capacity) \
  uint8_t count;                                          \
  Entry entries[capacity];
#define PROTOLIB_ENTRY(number, fields) \
  typedef struct Type##number##Entry { \
    fields                             \
  } Type##number##Entry;
#define PROTOLIB_PACKET(number, fields) \
  typedef struct Type##number##Record { \
    uint8_t fresh;                      \
    fields                              \
  } Type##number##Record;
#include <protolib/packet_types.def>

/* ---- Decoder ------------------------------------------------------------------------------ */

/* Latest values per packet type over one input ring. Callers read the records directly, read
 * framer->errors (or framer_take_errors) for the count of rejected packets and clear fresh flags
 * themselves. */
typedef struct PacketDecoder {
#define PROTOLIB_PACKET(number, fields) Type##number##Record rec##number;
#include <protolib/packet_types.def>
  ByteRing *input;      /* the caller's ring; not owned */
  PacketFramer *framer; /* owned; accepts every length byte (FRAMER_ACCEPT_EVERY_LENGTH) */
  uint8_t *last_packet; /* type, length and payload of the latest packet decoded; null until the
                           first. Valid until the next decoder_step. */
} PacketDecoder;

/* Creates a decoder over ring with every record zero and its own framer. Returns null when
 * memory runs out; then nothing is allocated. */
PacketDecoder *decoder_create(ByteRing *ring);

/* Destroys the framer, then the decoder; the ring is the caller's. No operation is performed if
 * decoder is null. */
void decoder_destroy(PacketDecoder *decoder);

/* Completes at most one packet from the ring, decodes it into the record of its type (the types
 * of packet_types.def; other types are only returned) and returns its type byte, 0 to 255. Returns
 * -1 when the ring ran empty first; records and last_packet are then unchanged. So `while ((type =
 * decoder_next(decoder)) >= 0)` empties the ring. */
int decoder_next(PacketDecoder *decoder);

/* As decoder_next, but returns 0 when the ring ran empty first, so an empty ring and a valid
 * type-0 packet look alike: a drain loop that must empty the ring uses decoder_next. */
uint8_t decoder_step(PacketDecoder *decoder);

/* ---- Decode routines ---------------------------------------------------------------------- */
/* Each takes a cursor on the packet's length byte (its own copy: the caller's position does not
 * move), reads the payload fields in declared order into record and sets fresh to 1. The length
 * byte is not compared with the layout. */

/* Types with counted entries fill only the first count entries; later entries keep their values. */
#define PROTOLIB_PACKET(number, fields) \
  void decode_type##number(Type##number##Record *record, const uint8_t *cursor);
#include <protolib/packet_types.def>

#ifdef __cplusplus
}
#endif

#endif /* PROTOLIB_DECODER_H */
