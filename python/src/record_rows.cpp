#include "python/src/record_rows.h"

#include <protolib/catalogue.hpp>

#include "capture_pass/decoded_packet.h"
#include "python/src/packed_columns.h"

namespace py = pybind11;

namespace pyproto {

namespace {

// Names the columns after the head to columns: the record's fields for a catalogue type, else
// payload. Returns whether type is in the catalogue.
template <typename Columns>
bool describe_fields(Columns &columns, unsigned type) {
  return protolib::visit_catalogue_type(type, [&](auto kind) {
    const typename decltype(kind)::Record record{};
    protolib::for_each_field(record, columns);
  });
}

}  // namespace

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

py::dtype row_dtype(unsigned type, HeadColumns which) {
  DtypeColumns columns;
  describe_head(columns, which, PacketHead{});
  if (!describe_fields(columns, type)) {
    columns.add("payload", py::dtype::of<uint8_t>(), WIRE_MAX_PAYLOAD);
  }
  return columns.dtype();
}

}  // namespace pyproto
