// The decode routines of the C API, one per block of packet_types.def, each the catalogue
// description's walk for its record.
#include <protolib/decoder.h>
#include <protolib/catalogue.hpp>

#include "protolib/src/payload_codec.h"

using protolib::decode_record;

extern "C" {

#define PROTOLIB_PACKET(number, fields)                                           \
  void decode_type##number(Type##number##Record *record, const uint8_t *cursor) { \
    decode_record(*record, cursor);                                               \
  }
#include <protolib/packet_types.def>

}  // extern "C"
