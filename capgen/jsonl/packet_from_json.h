// packet_from_json.h - one packet from one object of capdump's JSON Lines, written with the
// record encoders or, for a raw payload, with the packet writer.
#ifndef CAPGEN_SRC_PACKET_FROM_JSON_H
#define CAPGEN_SRC_PACKET_FROM_JSON_H

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <string>

namespace capgen {

// A packet's size, or what is wrong with the object.
struct JsonPacket {
  int32_t size = 0;
  std::string error;  // empty when the packet was written
};

// Writes the packet object describes at start (room for WIRE_MAX_PACKET bytes needed):
// - "type" (required), 0 to 255;
// - "payload", hexadecimal: the payload as it is; other fields are then not read;
// - else, for a catalogue type, its record's fields by name as capdump prints them (a missing
//   one is 0; a NaN or infinity as null with "<name>_bits"; "count" may be left out when
//   "entries" is given) encoded with the record encoder; the values go by field_rules.h;
// - "length", when given, must be the length written. "offset", "time", "form" and "recovered"
//   are ignored.
// Any other key, a value of the wrong kind or out of range, or a type outside the catalogue
// without "payload" is an error.
JsonPacket packet_from_json(const nlohmann::json &object, uint8_t *start);

}  // namespace capgen

#endif  // CAPGEN_SRC_PACKET_FROM_JSON_H
