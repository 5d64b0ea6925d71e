/* ring.h - fixed-capacity circular byte queue between a byte producer and the packet framer. */
#ifndef PROTOLIB_RING_H
#define PROTOLIB_RING_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One ring and the storage block it owns. The ring is empty exactly when write_pos equals
 * read_pos. Checked writes keep one slot free, so the usable capacity is size - 1 and a full
 * ring never looks empty. A position that reaches end is set back to start at once.
 * Writers move only write_pos; readers move only read_pos. Only the ring's own operations touch
 * the positions: callers ask ring_count, or take bytes with ring_get, ring_read or
 * ring_claim and ring_consume. */
typedef struct ByteRing {
  uint8_t *start;     /* first byte of the storage block */
  uint8_t *end;       /* one past the last byte: start + size */
  uint8_t *write_pos; /* where the next byte is stored */
  uint8_t *read_pos;  /* the next byte to be read */
  int32_t size;       /* bytes in the storage block, 1..65535 */
} ByteRing;

/* ---- Lifecycle ---------------------------------------------------------------------------- */

/* Creates an empty ring of size modulo 65536 bytes and stores it into each output location that
 * is not null (both receive the same ring). Returns 0 on success, 1 when memory runs out or the
 * size wraps to 0; on failure nothing is allocated and the outputs are left untouched. With both
 * outputs null the ring could never be reached, so it is released at once (no leak). */
int ring_create(ByteRing **reader_out, ByteRing **writer_out, unsigned size);

/* Frees the storage block and the ring. No operation is performed if ring is null. */
void ring_destroy(ByteRing *ring);

/* ---- Writing ------------------------------------------------------------------------------ */

/* Stores one byte with no room check: writing into a ring that holds size - 1 bytes makes it
 * read as empty, and its content is lost. */
void ring_put(ByteRing *ring, uint8_t byte);

/* Stores one byte if there is room. Returns 0 stored, 1 ring full (ring unchanged). */
int ring_put_checked(ByteRing *ring, uint8_t byte);

/* Stores all n bytes in order with no room check, exactly as n calls of ring_put would.
 * A count of 0 or less stores nothing. */
void ring_write(ByteRing *ring, const uint8_t *data, int n);

/* Stores all n bytes if they fit. Returns 0 all stored, 1 not enough room (ring unchanged). */
int ring_write_checked(ByteRing *ring, const uint8_t *data, int n);

/* ---- Reading ------------------------------------------------------------------------------ */

/* Takes the next byte as 0..255, or -1 when the ring is empty. */
int ring_get(ByteRing *ring);

/* Copies up to n of the stored bytes, oldest first, into dest and removes them from the ring.
 * Returns the number copied (0 for an empty ring or n <= 0). */
int ring_read(ByteRing *ring, uint8_t *dest, int n);

/* Returns the first contiguous run of stored bytes (oldest first) and stores its length in
 * *size: all stored bytes, or those up to the end of the storage when they wrap. *size is 0 for
 * an empty ring. The bytes stay in the ring until ring_consume removes them. */
const uint8_t *ring_claim(const ByteRing *ring, int *size);

/* Removes the n oldest stored bytes, 0 <= n <= the size ring_claim gave, as n calls of ring_get
 * would. */
void ring_consume(ByteRing *ring, int n);

/* ---- Queries ------------------------------------------------------------------------------ */

/* The number of stored bytes, 0 .. size - 1. */
int ring_count(const ByteRing *ring);

#ifdef __cplusplus
}
#endif

#endif /* PROTOLIB_RING_H */
