// decoded_packet.h - a catalogue packet as the record of its type, decoded on its own (no stale
// bytes of earlier packets), and the packet's form against its layout.
#ifndef CAPTURE_PASS_DECODED_PACKET_H
#define CAPTURE_PASS_DECODED_PACKET_H

#include <protolib/catalogue.hpp>
#include <protolib/packet_form.hpp>

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <utility>

namespace capture_pass {

namespace decoded_detail {

// Decodes packet, of the catalogue type whose record is Record, and shows it: show_decoded's
// work for one type.
template <typename Record, typename Show>
void decode_and_show(const uint8_t *packet, protolib::PacketForm form, Show &show) {
  Record record{};
  if (form == protolib::PacketForm::kExact || form == protolib::PacketForm::kLong) {
    protolib::CatalogueType<Record>::decode(record, packet + 1);  // the payload holds the layout
  } else {
    protolib::decode_payload(record, packet + 2, packet[1]);  // reads no byte past the payload
  }
  show(record, form);
}

// Calls decode_and_show for the catalogue type of packet, comparing its type byte with each
// type's in turn (which the compiler may make a jump table); false for other types.
template <typename Show, std::size_t... I>
bool dispatch(const uint8_t *packet, protolib::PacketForm form, Show &show,
              std::index_sequence<I...>) {
  using Records = protolib::CatalogueRecords;
  return ((packet[0] == protolib::Layout<std::tuple_element_t<I, Records>>::kType &&
           (decode_and_show<std::tuple_element_t<I, Records>>(packet, form, show), true)) ||
          ...);
}

}  // namespace decoded_detail

// For a packet (type byte, length byte L, L payload bytes) of a catalogue type, calls
// show(record, form): record is what the library's decode routine makes of the payload
// followed by zero bytes, so fields past the end of a short payload are 0; form is the packet's,
// which the caller may pass when it has asked for it already (packet_form.hpp); the record's
// fields give back the payload exactly when it is exact. Returns false, calling nothing, for
// other types.
template <typename Show>
bool show_decoded(const uint8_t *packet, protolib::PacketForm form, Show &&show) {
  return decoded_detail::dispatch(
      packet, form, show,
      std::make_index_sequence<std::tuple_size_v<protolib::CatalogueRecords>>{});
}
template <typename Show>
bool show_decoded(const uint8_t *packet, Show &&show) {
  return show_decoded(packet, protolib::packet_form(packet), show);
}

}  // namespace capture_pass

#endif  // CAPTURE_PASS_DECODED_PACKET_H
