// decoded_packet.h - a catalogue packet as the record of its type, decoded on its own (no stale
// bytes of earlier packets), and whether that record tells everything the payload holds.
#ifndef CAPDUMP_SRC_DECODED_PACKET_H
#define CAPDUMP_SRC_DECODED_PACKET_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "record_fields.h"

namespace capdump {

// Walks a record's fields along a payload of length bytes: where the fields end on the wire,
// and whether a count byte was lowered to the entry capacity.
class LayoutWalk {
 public:
  LayoutWalk(const uint8_t *payload, std::size_t length) : payload_(payload), length_(length) {}

  // True when encoding the walked record gives back the payload exactly.
  bool gives_back_payload() const { return end_ == length_ && count_as_sent_; }

  template <typename Field>
  void operator()(std::string_view, const Field &field) {
    end_ += sizeof field;  // every scalar type of a record takes its size on the wire
  }
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view, EntryList<Entry, Capacity, Count> list) {
    count_as_sent_ = end_ >= 1 && end_ - 1 < length_ && payload_[end_ - 1] == list.count;
    LayoutWalk entry(nullptr, 0);
    for_each_field(list.entries[0], entry);
    end_ += list.count * entry.end_;
  }

 private:
  const uint8_t *payload_;
  std::size_t length_;
  std::size_t end_ = 0;
  bool count_as_sent_ = true;
};

// For a packet (type byte, length byte L, L payload bytes) of a catalogue type, calls
// show(record, complete): record is what the library's decode routine makes of the payload
// followed by zero bytes, so fields past the end of a short payload are 0; complete is true
// when the record's fields give back the payload exactly, false when the length differs from
// the layout or a count byte exceeds the entry capacity. Returns false, calling nothing, for
// other types.
template <typename Show>
bool show_decoded(const uint8_t *packet, Show &&show) {
  return visit_catalogue_type(packet[0], [&](auto kind) {
    const uint8_t length = packet[1];
    uint8_t padded[1 + 256] = {};  // length byte, payload, zeros up to the longest layout
    std::memcpy(padded, packet + 1, std::size_t{1} + length);
    typename decltype(kind)::Record record{};
    kind.decode(record, padded);
    LayoutWalk walk(packet + 2, length);
    for_each_field(record, walk);
    show(record, walk.gives_back_payload());
  });
}

}  // namespace capdump

#endif  // CAPDUMP_SRC_DECODED_PACKET_H
