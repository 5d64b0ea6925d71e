// packet_tuple.h - protolib.Packet, a packet as iter_packets gives it: a tuple (offset, type,
// fields) that also has the attributes form and time, as os.stat_result has attributes past its
// tuple.
#ifndef PYTHON_SRC_PACKET_TUPLE_H
#define PYTHON_SRC_PACKET_TUPLE_H

#include <pybind11/pybind11.h>

#include <cstdint>

namespace pyproto {

// With the GIL held: the type protolib.Packet, made on the first call and kept for the life of
// the process.
pybind11::handle packet_tuple_type();

// With the GIL held: the Packet of the packet at packet (type byte, length byte L, L payload
// bytes) found at offset: fields as packet_fields gives them, form as form_name names it, time
// in seconds (NaN for none).
pybind11::object packet_tuple(uint64_t offset, const uint8_t *packet, double time);

}  // namespace pyproto

#endif  // PYTHON_SRC_PACKET_TUPLE_H
