// The decode routines, one per block of packet_types.def for the C API and one for C++ that
// knows the payload's length, each the catalogue description's walk for its record.
#include <protolib/decoder.h>
#include <protolib/catalogue.hpp>

#include "protolib/src/payload_codec.h"

using protolib::decode_record;
using protolib::decode_within;

extern "C" {

#define PROTOLIB_PACKET(number, fields)                                           \
  void decode_type##number(Type##number##Record *record, const uint8_t *cursor) { \
    decode_record(*record, cursor);                                               \
  }
#include <protolib/packet_types.def>

}  // extern "C"

namespace protolib {

#define PROTOLIB_PACKET(number, fields)                                                           \
  void decode_payload(Type##number##Record &record, const uint8_t *payload, std::size_t length) { \
    decode_within(record, payload, length);                                                       \
  }
#include <protolib/packet_types.def>

}  // namespace protolib
