// The decoder object: owns its framer, dispatches each checked packet to its type's routine.
#include <protolib/decoder.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kDecoderMaxLength = 256;

void dispatch(PacketDecoder *d, uint8_t type, const uint8_t *length_byte) {
  switch (type) {
    case 1:
      decode_type1(&d->rec1, length_byte);
      break;
    case 2:
      decode_type2(&d->rec2, length_byte);
      break;
    case 3:
      decode_type3(&d->rec3, length_byte);
      break;
    case 9:
      decode_type9(&d->rec9, length_byte);
      break;
    case 10:
      decode_type10(&d->rec10, length_byte);
      break;
    case 12:
      decode_type12(&d->rec12, length_byte);
      break;
    case 15:
      decode_type15(&d->rec15, length_byte);
      break;
    case 20:
      decode_type20(&d->rec20, length_byte);
      break;
    case 21:
      decode_type21(&d->rec21, length_byte);
      break;
    case 22:
      decode_type22(&d->rec22, length_byte);
      break;
    case 23:
      decode_type23(&d->rec23, length_byte);
      break;
    case 25:
      decode_type25(&d->rec25, length_byte);
      break;
    case 26:
      decode_type26(&d->rec26, length_byte);
      break;
    case 27:
      decode_type27(&d->rec27, length_byte);
      break;
    default:
      break;  // not in the catalogue: returned undecoded
  }
}

}  // namespace

extern "C" {

PacketDecoder *decoder_create(ByteRing *ring) {
  auto *decoder = static_cast<PacketDecoder *>(std::malloc(sizeof(PacketDecoder)));
  if (decoder == nullptr) return nullptr;
  // All-zero bytes are 0 for every field, 0.0 included (IEEE-754), and zero the padding too.
  // cppcheck-suppress memsetClassFloat
  std::memset(decoder, 0, sizeof(PacketDecoder));
  decoder->input = ring;
  decoder->framer = framer_create(ring, kDecoderMaxLength);
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

uint8_t decoder_step(PacketDecoder *decoder) {
  uint8_t *packet = framer_next(decoder->framer);
  if (packet == nullptr) return 0;
  decoder->last_packet = packet;
  const uint8_t type = packet[0];
  dispatch(decoder, type, packet + 1);
  return type;
}

}  // extern "C"
