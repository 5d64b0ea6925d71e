// The decoder object: owns its framer, dispatches each checked packet to its type's routine.
#include <protolib/decoder.h>
#include <protolib/catalogue.hpp>

#include <array>
#include <cstdlib>
#include <cstring>

namespace {

// Decodes the packet whose length byte is at length_byte into the decoder's record of one type.
using DecodeInto = void (*)(PacketDecoder *decoder, const uint8_t *length_byte);

// The routine of every type byte: one per catalogue type, null for the others.
constexpr std::array<DecodeInto, 256> kDispatch = [] {
  std::array<DecodeInto, 256> table{};
  protolib::for_each_catalogue_type([&table](auto kind) {
    using Record = typename decltype(kind)::Record;
    table[kind.kType] = [](PacketDecoder *decoder, const uint8_t *length_byte) {
      protolib::Layout<Record>::kDecode(&(decoder->*protolib::Layout<Record>::kSlot), length_byte);
    };
  });
  return table;
}();

}  // namespace

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
  const uint8_t type = packet[0];
  if (const DecodeInto decode = kDispatch[type]) decode(decoder, packet + 1);
  return type;
}

uint8_t decoder_step(PacketDecoder *decoder) {
  const int type = decoder_next(decoder);
  return type < 0 ? 0 : static_cast<uint8_t>(type);
}

}  // extern "C"
