/* framer.h - finds packets in a byte stream, checks their two checksum bytes, counts rejects.
 * The wire format is in <protolib/wire.h>.
 *
 * Untrusted input: no byte sequence makes the framer write outside its packet buffer; every
 * damaged packet is counted once in errors and framing resumes with the byte after the one that
 * caused the rejection. */
#ifndef PROTOLIB_FRAMER_H
#define PROTOLIB_FRAMER_H

#include <stdint.h>

#include <protolib/ring.h>
#include <protolib/wire.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The max_length that accepts every length byte, 0 to 255: a framer created with it rejects
 * packets only at their checksum bytes. */
#define FRAMER_ACCEPT_EVERY_LENGTH 256

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

/* What the framer decided, as framer_step reports it. */
typedef enum FramerEvent {
  FRAMER_DRY = 0,             /* the ring ran empty; the packet in progress is kept */
  FRAMER_ACCEPTED = 1,        /* a packet completed with both checksum bytes right */
  FRAMER_OVERSIZE_LENGTH = 2, /* rejected at a length byte above max_length */
  FRAMER_BAD_CHECKSUM_A = 3,  /* rejected at a wrong checksum A */
  FRAMER_BAD_CHECKSUM_B = 4   /* rejected at a wrong checksum B */
} FramerEvent;

/* One decision and the bytes it covers. */
typedef struct FramerReport {
  FramerEvent event;
  /* Bytes of the packet from its first sync byte through the byte that decided: L + 6 when
   * accepted or rejected at checksum B, L + 5 at checksum A, 4 at the length byte; 0 when dry.
   * The deciding byte is the last one taken from the ring. */
  int32_t size;
} FramerReport;

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

/* Takes bytes from the ring up to the next decision and reports it: a packet accepted (in
 * buffer: byte 0 the type, byte 1 the length L, then L payload bytes; valid until a later call
 * starts the next packet), a packet rejected and why (counted in errors), or FRAMER_DRY when the
 * ring runs empty first (the packet in progress is kept for the next call). Results do not
 * depend on how the stream is divided between calls. */
FramerReport framer_step(PacketFramer *framer);

/* Takes bytes from the ring until a packet is accepted, and returns the start of buffer as
 * framer_step leaves it; rejected packets are counted in errors and passed over. Returns null
 * when the ring runs empty first. */
uint8_t *framer_next(PacketFramer *framer);

/* Bytes of the packet in progress taken so far, counting from its sync pair: 0 while hunting
 * for a sync pair, 2 (just after it) up to L + 5. */
int32_t framer_pending(const PacketFramer *framer);

/* Returns errors, the packets rejected since creation or since the last call, and restarts that
 * count from 0. A caller that adds the results up, taking them at least once every INT32_MAX
 * rejections, counts every rejection although errors itself saturates. */
int32_t framer_take_errors(PacketFramer *framer);

/* Frees the packet buffer, then the framer. No operation is performed if framer is null. */
void framer_destroy(PacketFramer *framer);

#ifdef __cplusplus
}
#endif

#endif /* PROTOLIB_FRAMER_H */
