/* The public headers compile as C11 and the library links into a C program. */
#include <protolib/decoder.h>
#include <protolib/framer.h>
#include <protolib/ring.h>
#include <protolib/writer.h>

#include <stdio.h>

int main(void) {
  ByteRing *reader = NULL;
  ByteRing *writer = NULL;
  if (ring_create(&reader, &writer, 1024) != 0) return 1;
  PacketDecoder *decoder = decoder_create(reader);
  if (decoder == NULL) return 1;

  uint8_t packet[16];
  uint8_t *pos = be_write_u32(packet_begin(packet, 1), 256);
  pos = be_write_u16(pos, 65534);
  pos = be_write_i16(pos, -32768);
  const int32_t size = packet_finish(packet, pos);
  ring_write(writer, packet, size);

  const int type = decoder_step(decoder);
  const int ok = size == 14 && type == 1 && decoder->rec1.fresh == 1 && decoder->rec1.lead == 256 &&
                 decoder->rec1.uword == 65534 && decoder->rec1.word == -32768 &&
                 decoder->framer->errors == 0 && decoder_step(decoder) == 0;
  decoder_destroy(decoder);
  ring_destroy(reader);
  printf(ok ? "1 passed, 0 failed\n" : "0 passed, 1 failed\n");
  return ok ? 0 : 1;
}
