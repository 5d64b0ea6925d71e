/* framer.h - finds packets in a byte stream, checks their two checksum bytes, counts rejects.
 *
 * Wire format of one packet (L + 6 bytes):
 *   0x81 0xA1 | type | length L | L payload bytes | checksum A | checksum B
 * A and B are 8-bit running sums over type, length and payload: for each byte
 * A = (A + byte) mod 256, then B = (B + A) mod 256.
 *
 * Untrusted input: no byte sequence makes the framer write outside its packet buffer; every
 * damaged packet is counted once in errors and framing resumes with the byte after the one that
 * caused the rejection. */
#ifndef PROTOLIB_FRAMER_H
#define PROTOLIB_FRAMER_H

#include <stdint.h>

#include <protolib/ring.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Where the framer stands in the packet being received. */
typedef enum FramerState {
  HUNT_SYNC1 = 0,   /* looking for 0x81 */
  HUNT_SYNC2 = 1,   /* looking for 0xA1; other bytes, 0x81 included, are skipped */
  READ_TYPE = 2,    /* the next byte is the type */
  READ_LENGTH = 3,  /* the next byte is the length */
  READ_PAYLOAD = 4, /* remaining payload bytes follow */
  CHECK_A = 5,      /* the next byte must equal sum_a */
  CHECK_B = 6       /* the next byte must equal sum_b */
} FramerState;

/* Receive state machine. All of its state lives here, so a packet may arrive over any number of
 * calls. It owns buffer; input is the caller's. */
typedef struct PacketFramer {
  ByteRing *input;    /* ring read with ring_get; not owned */
  int32_t max_length; /* largest length byte accepted */
  uint32_t state;     /* a FramerState */
  int32_t errors;     /* packets rejected since creation; stays at INT32_MAX once reached */
  uint8_t *buffer;    /* type, length and payload of the packet being received */
  uint8_t *write;     /* next free position in buffer */
  uint8_t remaining;  /* payload bytes still expected */
  uint8_t sum_a;      /* running checksum sums of the packet being received */
  uint8_t sum_b;
} PacketFramer;

/* Creates a framer reading from ring that accepts length bytes up to max_length. Its buffer is
 * zero-filled and holds type, length and the largest payload accepted (max_length + 4 bytes;
 * never more than 260, the most any length byte can need). Returns null when memory runs out
 * or max_length is negative; then nothing is allocated. */
PacketFramer *framer_create(ByteRing *ring, int max_length);

/* Takes bytes from the ring until a packet completes with both checksum bytes correct, and
 * returns the start of buffer: byte 0 the type, byte 1 the length L, then L payload bytes.
 * Returns null when the ring runs empty first; the packet in progress is kept for the next call.
 * The result stays valid until a later call starts the next packet. */
uint8_t *framer_next(PacketFramer *framer);

/* Frees the packet buffer, then the framer. No operation is performed if framer is null. */
void framer_destroy(PacketFramer *framer);

#ifdef __cplusplus
}
#endif

#endif /* PROTOLIB_FRAMER_H */
