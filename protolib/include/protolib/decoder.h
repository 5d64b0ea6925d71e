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

typedef struct Type1Record { /* payload 8 bytes */
  uint8_t fresh;
  uint32_t lead;
  uint16_t uword;
  int16_t word;
} Type1Record;

typedef struct Type2Record { /* payload 23 bytes */
  uint8_t fresh;
  uint32_t lead;
  int16_t words[9];
  uint8_t tail;
} Type2Record;

typedef struct Type3Record { /* payload 11 bytes */
  uint8_t fresh;
  uint32_t lead;
  int16_t words[3];
  uint8_t tail;
} Type3Record;

typedef struct Type9Record { /* payload 32 bytes; no lead, the 32-bit field comes last */
  uint8_t fresh;
  int16_t words[9];
  uint16_t uwords[4];
  uint16_t uword;
  uint32_t ulong;
} Type9Record;

typedef struct Type10Record { /* payload 39 bytes */
  uint8_t fresh;
  uint32_t lead;
  int16_t words[9];
  int32_t longs[4];
  uint8_t tail;
} Type10Record;

typedef struct Type12Record { /* payload 29 bytes */
  uint8_t fresh;
  uint32_t lead;
  int32_t longs[6];
  uint8_t tail;
} Type12Record;

typedef struct Type15Record { /* payload 17 bytes */
  uint8_t fresh;
  uint32_t lead;
  uint16_t uwords[6];
  uint8_t tail;
} Type15Record;

typedef struct Type20Record { /* payload 38 bytes */
  uint8_t fresh;
  uint32_t lead;
  uint16_t uword_a;
  uint16_t uword_b;
  int32_t longs[6];
  uint16_t uwords[3];
} Type20Record;

typedef struct Type21Entry { /* 8 bytes on the wire */
  uint8_t bytes[6];
  int16_t value;
} Type21Entry;

#define TYPE21_CAPACITY 16
typedef struct Type21Record { /* payload 6 + 8 * count bytes */
  uint8_t fresh;
  uint32_t lead;
  uint8_t info;
  uint8_t count; /* the count byte as sent, lowered to TYPE21_CAPACITY when larger */
  Type21Entry entries[TYPE21_CAPACITY]; /* the first count are from the latest packet */
} Type21Record;

typedef struct Type22Entry { /* 24 bytes on the wire */
  double d1;
  double d2;
  float f;
  uint8_t bytes[4];
} Type22Entry;

#define TYPE22_CAPACITY 10
typedef struct Type22Record { /* payload 8 + 24 * count bytes */
  uint8_t fresh;
  uint32_t lead;
  uint16_t uword;
  uint8_t info;
  uint8_t count; /* the count byte as sent, lowered to TYPE22_CAPACITY when larger */
  Type22Entry entries[TYPE22_CAPACITY]; /* the first count are from the latest packet */
} Type22Record;

typedef struct Type23Record { /* payload 20 bytes */
  uint8_t fresh;
  uint32_t lead;
  int32_t long_a;
  int32_t long_b;
  uint32_t ulong_a;
  uint32_t ulong_b;
} Type23Record;

typedef struct Type25Record { /* payload 16 bytes */
  uint8_t fresh;
  uint32_t lead;
  uint32_t ulong;
  uint16_t uword;
  uint8_t bytes[6];
} Type25Record;

typedef struct Type26Record { /* payload 7 bytes */
  uint8_t fresh;
  uint32_t lead;
  uint8_t bytes[3];
} Type26Record;

typedef struct Type27Record { /* payload 16 bytes */
  uint8_t fresh;
  uint32_t lead;
  uint32_t ulong;
  int32_t long_a;
  uint16_t uword;
  uint8_t bytes[2];
} Type27Record;

/* ---- Decoder ------------------------------------------------------------------------------ */

/* Latest values per packet type over one input ring. Callers read the records directly, read
 * framer->errors (or framer_take_errors) for the count of rejected packets and clear fresh flags
 * themselves. */
typedef struct PacketDecoder {
  Type1Record rec1;
  Type2Record rec2;
  Type3Record rec3;
  Type9Record rec9;
  Type10Record rec10;
  Type12Record rec12;
  Type15Record rec15;
  Type20Record rec20;
  Type21Record rec21;
  Type22Record rec22;
  Type23Record rec23;
  Type25Record rec25;
  Type26Record rec26;
  Type27Record rec27;
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

/* Completes at most one packet from the ring, decodes it into the record of its type (types 1,
 * 2, 3, 9, 10, 12, 15, 20, 21, 22, 23, 25, 26, 27; other types are only returned) and returns its
 * type byte, 0 to 255. Returns -1 when the ring ran empty first; records and last_packet are
 * then unchanged. So `while ((type = decoder_next(decoder)) >= 0)` empties the ring. */
int decoder_next(PacketDecoder *decoder);

/* As decoder_next, but returns 0 when the ring ran empty first, so an empty ring and a valid
 * type-0 packet look alike: a drain loop that must empty the ring uses decoder_next. */
uint8_t decoder_step(PacketDecoder *decoder);

/* ---- Decode routines ---------------------------------------------------------------------- */
/* Each takes a cursor on the packet's length byte (its own copy: the caller's position does not
 * move), reads the payload fields in declared order into record and sets fresh to 1. The length
 * byte is not compared with the layout. */

void decode_type1(Type1Record *record, const uint8_t *cursor);
void decode_type2(Type2Record *record, const uint8_t *cursor);
void decode_type3(Type3Record *record, const uint8_t *cursor);
void decode_type9(Type9Record *record, const uint8_t *cursor);
void decode_type10(Type10Record *record, const uint8_t *cursor);
void decode_type12(Type12Record *record, const uint8_t *cursor);
void decode_type15(Type15Record *record, const uint8_t *cursor);
void decode_type20(Type20Record *record, const uint8_t *cursor);
/* Types 21 and 22 fill only the first count entries; later entries keep their values. */
void decode_type21(Type21Record *record, const uint8_t *cursor);
void decode_type22(Type22Record *record, const uint8_t *cursor);
void decode_type23(Type23Record *record, const uint8_t *cursor);
void decode_type25(Type25Record *record, const uint8_t *cursor);
void decode_type26(Type26Record *record, const uint8_t *cursor);
void decode_type27(Type27Record *record, const uint8_t *cursor);

#ifdef __cplusplus
}
#endif

#endif /* PROTOLIB_DECODER_H */
