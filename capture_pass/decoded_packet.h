// decoded_packet.h - a catalogue packet as the record of its type, decoded on its own (no stale
// bytes of earlier packets), and the packet's form against its layout.
#ifndef CAPTURE_PASS_DECODED_PACKET_H
#define CAPTURE_PASS_DECODED_PACKET_H

#include <protolib/catalogue.hpp>
#include <protolib/packet_form.hpp>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace capdump {

// For a packet (type byte, length byte L, L payload bytes) of a catalogue type, calls
// show(record, form): record is what the library's decode routine makes of the payload
// followed by zero bytes, so fields past the end of a short payload are 0; form is the packet's,
// which the caller may pass when it has asked for it already (packet_form.hpp); the record's
// fields give back the payload exactly when it is exact. Returns false, calling nothing, for
// other types.
template <typename Show>
bool show_decoded(const uint8_t *packet, protolib::PacketForm form, Show &&show) {
  return protolib::visit_catalogue_type(packet[0], [&](auto kind) {
    using Record = typename decltype(kind)::Record;
    Record record{};
    if (form == protolib::PacketForm::kExact || form == protolib::PacketForm::kLong) {
      kind.decode(record, packet + 1);  // decoding reads no byte past the payload
    } else {
      uint8_t padded[1 + 256] = {};  // length byte, payload, zeros up to the longest layout
      std::memcpy(padded, packet + 1, std::size_t{1} + packet[1]);
      kind.decode(record, padded);
    }
    show(record, form);
  });
}
template <typename Show>
bool show_decoded(const uint8_t *packet, Show &&show) {
  return show_decoded(packet, protolib::packet_form(packet), show);
}

}  // namespace capdump

#endif  // CAPTURE_PASS_DECODED_PACKET_H
