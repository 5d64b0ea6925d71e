// packet_fields.h - a packet's fields as a Python dict and back: a catalogue record's fields by
// name (arrays as lists, counted entries as a list of dicts up to the count), and "payload" as
// bytes for a type outside the catalogue and for a catalogue packet whose fields do not give
// back its payload (a length other than its layout's, a count above the capacity).
#ifndef PYTHON_SRC_PACKET_FIELDS_H
#define PYTHON_SRC_PACKET_FIELDS_H

#include <pybind11/pybind11.h>

#include <cstdint>

namespace pyproto {

// With the GIL held: the fields of the packet at packet (type byte, length byte L, L payload
// bytes), decoded as capdump decodes it (fields past the end of a short payload are 0).
pybind11::dict packet_fields(const uint8_t *packet);

// The whole packet of type (sync pair, type, length, payload, checksums) with fields: when
// fields holds "payload", those bytes as the payload; otherwise the catalogue record of type,
// missing fields 0 and "count", when missing, the number of "entries", the values taken by the
// rules of field_rules.h. Raises ValueError for a type outside 0..255, a type outside the
// catalogue without "payload", an unknown field name, a value those rules refuse (in their
// words) or a sequence of another length; TypeError for a value of the wrong kind.
pybind11::bytes encode_packet(int type, const pybind11::dict &fields);

}  // namespace pyproto

#endif  // PYTHON_SRC_PACKET_FIELDS_H
