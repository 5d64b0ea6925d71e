#include "record_rows.h"

#include "decoded_packet.h"

namespace py = pybind11;

namespace pyproto {

namespace {

using protolib::EntryList;

// Collects (name, dtype[, shape]) for each field it is given.
class DtypeFields {
 public:
  py::list fields;

  template <typename Value>
  void operator()(std::string_view name, const Value &) {
    using Element = std::remove_extent_t<Value>;
    if constexpr (std::is_array_v<Value>) {
      add(name, py::dtype::of<Element>(), std::extent_v<Value>);
    } else {
      add(name, py::dtype::of<Element>());
    }
  }
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view name, EntryList<Entry, Capacity, Count> list) {
    DtypeFields entry;
    protolib::for_each_field(list.entries[0], entry);
    add(name, py::dtype::from_args(entry.fields), Capacity);
  }

  void add(std::string_view name, const py::dtype &dtype) {
    fields.append(py::make_tuple(py::str(name.data(), name.size()), dtype));
  }
  void add(std::string_view name, const py::dtype &dtype, std::size_t length) {
    fields.append(py::make_tuple(py::str(name.data(), name.size()), dtype, py::make_tuple(length)));
  }
};

constexpr std::size_t kPayloadRow = kRowHead + WIRE_MAX_PAYLOAD;

}  // namespace

std::size_t row_size(unsigned type) {
  std::size_t size = kPayloadRow;
  protolib::visit_catalogue_type(
      type, [&](auto kind) { size = row_size<typename decltype(kind)::Record>(); });
  return size;
}

void write_row(uint8_t *row, uint64_t offset, const uint8_t *packet) {
  std::memcpy(row, &offset, sizeof offset);
  row[sizeof offset] = packet[1];
  const bool catalogue = capdump::show_decoded(packet, [&](const auto &record, protolib::PacketForm) {
    protolib::for_each_field(record, RowWriter(row + kRowHead));
  });
  if (!catalogue) std::memcpy(row + kRowHead, packet + 2, packet[1]);
}

py::dtype row_dtype(unsigned type) {
  DtypeFields row;
  row.add("offset", py::dtype::of<uint64_t>());
  row.add("length", py::dtype::of<uint8_t>());
  const bool catalogue = protolib::visit_catalogue_type(type, [&](auto kind) {
    const typename decltype(kind)::Record record{};
    protolib::for_each_field(record, row);
  });
  if (!catalogue) row.add("payload", py::dtype::of<uint8_t>(), WIRE_MAX_PAYLOAD);
  return py::dtype::from_args(row.fields);
}

}  // namespace pyproto
