// The writer: packets of arbitrary types and field values are written, framed by a decoder and
// read back unchanged.
//
// Input: packets one after another, each a type byte followed by
// - for a catalogue type, its payload (zero bytes past the end of the input; the count byte of
//   counted entries is taken modulo capacity + 1). The record decoded from it is encoded again
//   with the library's encoder, which must give back exactly those payload bytes; the decoder
//   must then frame that packet and decode it into the same record.
// - for any other type, a count byte and that many fields, each a kind byte (u8, u16, i16, u32,
//   i32, f32, f64: kind % 7) and its value's bytes, most significant first, up to 255 payload
//   bytes. The writers must store exactly those bytes, packet_finish must give the length and
//   size and write the same bytes when called again, and the decoder must frame the packet
//   with its type and payload, from which the readers return every value bit for bit.
#include <protolib/decoder.h>
#include <protolib/wire.h>
#include <protolib/writer.h>
#include <protolib/catalogue.hpp>

#include <array>
#include <bit>
#include <cstring>
#include <tuple>
#include <type_traits>

#include "fuzz/fuzz_input.h"
#include "testing/test_packets.h"

namespace {

constexpr std::size_t kMaxPayload = WIRE_MAX_PAYLOAD;

// Lowers the count byte of Record's counted entries in payload, if it has them, to at most their
// capacity, so the payload holds the entries it names.
template <typename Record>
void fit_count(uint8_t *payload) {
  constexpr protolib::PayloadShape kShape = protolib::payload_shape<Record>();
  if constexpr (kShape.capacity > 0) {
    uint8_t &count = payload[kShape.count_offset];
    count = static_cast<uint8_t>(count % (kShape.capacity + 1));
  }
}

// Feeds wire, one whole packet, to h's decoder and returns what the decoder framed from it.
const uint8_t *frame(DecoderHarness &h, const uint8_t *wire, std::size_t size) {
  PacketDecoder &d = h.decoder();
  d.last_packet = nullptr;
  ring_write(d.input, wire, static_cast<int>(size));
  const uint8_t type = h.step();
  FUZZ_REQUIRE(d.last_packet != nullptr && type == wire[2]);
  FUZZ_REQUIRE(ring_count(d.input) == 0 && d.framer->errors == 0);
  FUZZ_REQUIRE(std::memcmp(d.last_packet, wire + 2, size - 4) == 0);
  return d.last_packet;
}

// The payload of a catalogue-type packet, decoded by shadow into its record, is encoded again and
// framed and decoded by real.
void check_record(uint8_t type, FuzzInput &input, DecoderHarness &shadow, DecoderHarness &real) {
  protolib::visit_catalogue_type(type, [&](auto kind) {
    using Record = typename decltype(kind)::Record;
    constexpr auto kSlot = protolib::Layout<Record>::kSlot;
    uint8_t sent[WIRE_MAX_PACKET] = {};
    uint8_t *payload = packet_begin(sent, type);
    std::memcpy(payload, input.rest(), std::min(kMaxPayload, input.rest_size()));
    fit_count<Record>(payload);
    frame(shadow, sent, static_cast<std::size_t>(packet_finish(sent, payload + kMaxPayload)));
    const Record &expected = shadow.decoder().*kSlot;
    uint8_t wire[WIRE_MAX_PACKET];
    const auto size = static_cast<std::size_t>(kind.encode(expected, wire));
    const std::size_t length = size - 6;
    FUZZ_REQUIRE(wire[3] == length && std::memcmp(wire + 4, payload, length) == 0);
    frame(real, wire, size);
    // Both records started as zero bytes, padding included, and were set field by field alike.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    FUZZ_REQUIRE(std::memcmp(&(real.decoder().*kSlot), &expected, sizeof expected) == 0);
    input.skip(length);
  });
}

constexpr std::array<std::size_t, 7> kFieldWidths = {1, 2, 2, 4, 4, 4, 8};

// Writes the field of kind with the value whose bit pattern is bits at pos; returns the
// position after it.
uint8_t *write_field(std::size_t kind, uint8_t *pos, uint64_t bits) {
  switch (kind) {
    case 0:
      *pos = static_cast<uint8_t>(bits);
      return pos + 1;
    case 1:
      return be_write_u16(pos, static_cast<uint16_t>(bits));
    case 2:
      return be_write_i16(pos, static_cast<int16_t>(bits));
    case 3:
      return be_write_u32(pos, static_cast<uint32_t>(bits));
    case 4:
      return be_write_i32(pos, static_cast<int32_t>(bits));
    case 5:
      return be_write_f32(pos, std::bit_cast<float>(static_cast<uint32_t>(bits)));
    default:
      return be_write_f64(pos, std::bit_cast<double>(bits));
  }
}

// Reads the field of kind at *cursor with the library's readers; returns its bit pattern.
uint64_t read_field(std::size_t kind, const uint8_t **cursor) {
  switch (kind) {
    case 0:
      return *(*cursor)++;
    case 1:
      return be_read_u16(cursor);
    case 2:
      return static_cast<uint16_t>(be_read_i16(cursor));
    case 3:
      return be_read_u32(cursor);
    case 4:
      return static_cast<uint32_t>(be_read_i32(cursor));
    case 5:
      return std::bit_cast<uint32_t>(be_read_f32(cursor));
    default:
      return std::bit_cast<uint64_t>(be_read_f64(cursor));
  }
}

// A packet of type built field by field from the input, framed by real and read back.
void check_fields(uint8_t type, FuzzInput &input, DecoderHarness &real) {
  struct Field {
    std::size_t kind;
    uint64_t bits;
  };
  std::array<Field, kMaxPayload> fields;  // each at least one payload byte
  std::size_t field_count = 0;
  uint8_t wire[WIRE_MAX_PACKET];
  uint8_t *pos = packet_begin(wire, type);
  for (uint8_t count = input.byte(); count > 0; --count) {
    const std::size_t kind = input.byte() % kFieldWidths.size();
    const std::size_t width = kFieldWidths[kind];
    if (static_cast<std::size_t>(pos - wire) - 4 + width > kMaxPayload) break;
    uint8_t value[8] = {};
    uint64_t bits = 0;
    for (std::size_t i = 0; i < width; ++i) {
      value[i] = input.byte();
      bits = bits << 8 | value[i];
    }
    uint8_t *next = write_field(kind, pos, bits);
    FUZZ_REQUIRE(next == pos + width && std::memcmp(pos, value, width) == 0);
    fields[field_count++] = {kind, bits};
    pos = next;
  }
  const auto length = static_cast<std::size_t>(pos - wire) - 4;
  const auto size = static_cast<std::size_t>(packet_finish(wire, pos));
  FUZZ_REQUIRE(size == length + 6 && wire[3] == length);
  uint8_t finished[WIRE_MAX_PACKET];
  std::memcpy(finished, wire, size);
  packet_finish(wire, pos);
  FUZZ_REQUIRE(std::memcmp(finished, wire, size) == 0);

  const uint8_t *cursor = frame(real, wire, size) + 2;
  for (std::size_t i = 0; i < field_count; ++i) {
    FUZZ_REQUIRE(read_field(fields[i].kind, &cursor) == fields[i].bits);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  FuzzInput input(data, size);
  DecoderHarness shadow;
  DecoderHarness real;
  while (input.rest_size() > 0) {
    const uint8_t type = input.byte();
    if (protolib::in_catalogue(type)) {
      check_record(type, input, shadow, real);
    } else {
      check_fields(type, input, real);
    }
  }
  return 0;
}
