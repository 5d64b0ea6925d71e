// Builds capture files for the program tests: payload fields in wire order, packets, streams.
#ifndef LISTING_TESTS_CAPTURE_BUILDER_H
#define LISTING_TESTS_CAPTURE_BUILDER_H

#include <protolib/writer.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "testing/test_packets.h"

// Appends big-endian fields to a payload.
class Payload {
 public:
  Payload &u8(std::initializer_list<uint8_t> values) {
    for (uint8_t v : values) bytes_.push_back(v);
    return *this;
  }
  Payload &u16(std::initializer_list<uint16_t> values) { return put(values, be_write_u16, 2); }
  Payload &i16(std::initializer_list<int16_t> values) { return put(values, be_write_i16, 2); }
  Payload &u32(std::initializer_list<uint32_t> values) { return put(values, be_write_u32, 4); }
  Payload &i32(std::initializer_list<int32_t> values) { return put(values, be_write_i32, 4); }
  const Bytes &bytes() const { return bytes_; }

 private:
  template <typename T, typename Writer>
  Payload &put(std::initializer_list<T> values, Writer writer, size_t width) {
    for (T v : values) {
      bytes_.resize(bytes_.size() + width);
      writer(bytes_.data() + bytes_.size() - width, v);
    }
    return *this;
  }
  Bytes bytes_;
};

// A capture file's content: the concatenation of parts.
inline std::string capture(std::initializer_list<Bytes> parts) {
  const Bytes all = concat(parts);
  return std::string(all.begin(), all.end());
}

inline Bytes packet(uint8_t type, const Payload &payload) {
  return make_packet(type, payload.bytes());
}

#endif  // LISTING_TESTS_CAPTURE_BUILDER_H
