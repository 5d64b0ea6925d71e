#include "python/src/record_rows.h"

#include "capture_pass/decoded_packet.h"
#include "python/src/packed_row.h"

namespace pyproto {

std::size_t row_size(unsigned type, HeadColumns which) {
  ColumnBytes bytes;
  describe_head(bytes, which, PacketHead{});
  if (!describe_fields(bytes, type)) bytes.bytes += WIRE_MAX_PAYLOAD;
  return bytes.bytes;
}

void write_row(uint8_t *row, HeadColumns which, const PacketHead &head, const uint8_t *packet) {
  RowWriter out(row);
  describe_head(out, which, head);
  const bool catalogue = capture_pass::show_decoded(
      packet, head.form,
      [&](const auto &record, protolib::PacketForm) { protolib::for_each_field(record, out); });
  if (!catalogue) std::memcpy(out.end(), packet + 2, packet[1]);
}

}  // namespace pyproto
