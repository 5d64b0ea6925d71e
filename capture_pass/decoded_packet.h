// decoded_packet.h - a catalogue packet as the record of its type, decoded on its own (no stale
// bytes of earlier packets), and whether that record tells everything the payload holds.
#ifndef CAPTURE_PASS_DECODED_PACKET_H
#define CAPTURE_PASS_DECODED_PACKET_H

#include <protolib/catalogue.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace capdump {

// For a packet (type byte, length byte L, L payload bytes) of a catalogue type, calls
// show(record, complete): record is what the library's decode routine makes of the payload
// followed by zero bytes, so fields past the end of a short payload are 0; complete is true
// when the record's fields give back the payload exactly, false when the length differs from
// the layout or a count byte exceeds the entry capacity. Returns false, calling nothing, for
// other types.
template <typename Show>
bool show_decoded(const uint8_t *packet, Show &&show) {
  return protolib::visit_catalogue_type(packet[0], [&](auto kind) {
    using Record = typename decltype(kind)::Record;
    const uint8_t length = packet[1];
    Record record{};
    if (protolib::entry_size<Record>() == 0 && length >= protolib::fixed_payload_size<Record>()) {
      kind.decode(record, packet + 1);  // decoding reads no byte past the payload
    } else {
      uint8_t padded[1 + 256] = {};  // length byte, payload, zeros up to the longest layout
      std::memcpy(padded, packet + 1, std::size_t{1} + length);
      kind.decode(record, padded);
    }
    show(record, protolib::gives_back_payload(record, packet + 2, length));
  });
}

}  // namespace capdump

#endif  // CAPTURE_PASS_DECODED_PACKET_H
