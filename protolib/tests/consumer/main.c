/* Decodes one type-1 packet with the installed library; exits 0 when every field comes back as
 * written. */
#include <protolib/decoder.h>
#include <protolib/ring.h>
#include <protolib/writer.h>

#include <stdio.h>

int main(void) {
  ByteRing *ring = NULL;
  if (ring_create(&ring, NULL, 256) != 0) return 1;
  PacketDecoder *decoder = decoder_create(ring);
  if (decoder == NULL) return 1;

  uint8_t packet[16];
  uint8_t *pos = be_write_u32(packet_begin(packet, 1), 4000000000u);
  pos = be_write_u16(pos, 513);
  pos = be_write_i16(pos, -2);
  ring_write(ring, packet, packet_finish(packet, pos));

  const int ok = decoder_next(decoder) == 1 && decoder_next(decoder) == -1 &&
                 decoder->rec1.lead == 4000000000u && decoder->rec1.uword == 513 &&
                 decoder->rec1.word == -2;
  decoder_destroy(decoder);
  ring_destroy(ring);
  puts(ok ? "consumer: the packet decoded as written" : "consumer: the packet decoded wrongly");
  return ok ? 0 : 1;
}
