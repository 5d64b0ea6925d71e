/* wire.h - the constants of the wire format, for code that builds, finds or measures packets.
 *
 * One packet on the wire (L + 6 bytes):
 *   sync 1 | sync 2 | type | length L | L payload bytes | checksum A | checksum B
 * Checksums A and B are 8-bit running sums over type, length and payload: for each byte
 * A = (A + byte) mod 256, then B = (B + A) mod 256. Multi-byte payload fields are big-endian. */
#ifndef PROTOLIB_WIRE_H
#define PROTOLIB_WIRE_H

#define WIRE_SYNC1 0x81      /* first byte of every packet */
#define WIRE_SYNC2 0xA1      /* second byte of every packet */
#define WIRE_HEADER_SIZE 4   /* sync pair, type and length before the payload */
#define WIRE_CHECKSUM_SIZE 2 /* checksum A and B after the payload */
#define WIRE_MAX_PAYLOAD 255 /* the largest length byte */
#define WIRE_OVERHEAD (WIRE_HEADER_SIZE + WIRE_CHECKSUM_SIZE) /* bytes of a packet beyond L */
#define WIRE_MAX_PACKET (WIRE_OVERHEAD + WIRE_MAX_PAYLOAD)    /* 261 */

#endif /* PROTOLIB_WIRE_H */
