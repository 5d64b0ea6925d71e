// The decoder object: owns its framer, dispatches each checked packet to its type's routine.
#include <protolib/decoder.h>
#include <protolib/catalogue.hpp>

#include <cstdlib>
#include <cstring>

extern "C" {

PacketDecoder *decoder_create(ByteRing *ring) {
  auto *decoder = static_cast<PacketDecoder *>(std::malloc(sizeof(PacketDecoder)));
  if (decoder == nullptr) return nullptr;
  // All-zero bytes are 0 for every field, 0.0 included (IEEE-754), and zero the padding too.
  // cppcheck-suppress memsetClassFloat
  std::memset(decoder, 0, sizeof(PacketDecoder));
  decoder->input = ring;
  decoder->framer = framer_create(ring, FRAMER_ACCEPT_EVERY_LENGTH);
  if (decoder->framer == nullptr) {
    std::free(decoder);
    return nullptr;
  }
  return decoder;
}

void decoder_destroy(PacketDecoder *decoder) {
  if (decoder == nullptr) return;
  framer_destroy(decoder->framer);
  std::free(decoder);
}

int decoder_next(PacketDecoder *decoder) {
  uint8_t *packet = framer_next(decoder->framer);
  if (packet == nullptr) return -1;
  decoder->last_packet = packet;
  protolib::decode_into_slot(*decoder, packet);
  return packet[0];
}

uint8_t decoder_step(PacketDecoder *decoder) {
  const int type = decoder_next(decoder);
  return type < 0 ? 0 : static_cast<uint8_t>(type);
}

}  // extern "C"
