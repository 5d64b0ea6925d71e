// The encoders of the C API, one per block of packet_types.def, each the catalogue description's
// walk for its record.
#include <protolib/writer.h>

#include "protolib/src/payload_codec.h"

using protolib::encode_record;

extern "C" {

#define PROTOLIB_PACKET(number, fields)                                             \
  int32_t encode_type##number(const Type##number##Record *record, uint8_t *start) { \
    return encode_record(*record, start);                                           \
  }
#include <protolib/packet_types.def>

}  // extern "C"
