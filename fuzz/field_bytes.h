// field_bytes.h - a catalogue record's field values as bytes, for fuzz targets that compare
// records field by field (padding left out) or rows made of a record's fields.
#ifndef PROTOLIB_FUZZ_FIELD_BYTES_H
#define PROTOLIB_FUZZ_FIELD_BYTES_H

#include <protolib/catalogue.hpp>

#include <cstddef>
#include <string_view>

#include "testing/test_packets.h"

// The bytes of every field it is given, in native byte order, entries up to the capacity.
class FieldBytes {
 public:
  Bytes bytes;

  template <typename Value>
  void operator()(std::string_view, const Value &value) {
    const auto *data = reinterpret_cast<const uint8_t *>(&value);
    bytes.insert(bytes.end(), data, data + sizeof value);
  }
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view, protolib::EntryList<Entry, Capacity, Count> list) {
    for (const Entry &entry : list.entries) protolib::for_each_field(entry, *this);
  }
};

// The bytes of every field of record (a catalogue record or entry) in wire order, each in native
// byte order, entries up to the capacity.
template <typename Record>
Bytes field_bytes(const Record &record) {
  FieldBytes out;
  protolib::for_each_field(record, out);
  return out.bytes;
}

#endif  // PROTOLIB_FUZZ_FIELD_BYTES_H
