// packet_form.hpp - what a framed packet's payload is against its type's layout: exactly the
// layout, shorter or longer than it, a count byte above the entry capacity, or a type outside
// the catalogue. The one place that compares a packet's length with a layout; every reader that
// must tell exact packets from malformed ones asks here.
//
// C++20 only, like the catalogue description it reads.
#ifndef PROTOLIB_PACKET_FORM_HPP
#define PROTOLIB_PACKET_FORM_HPP

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace protolib {

enum class PacketForm : uint8_t {
  kExact,         // the layout's length; with counted entries, the header plus count entries
  kShort,         // fewer payload bytes than that (a count byte missing included)
  kLong,          // more payload bytes than that
  kOverCapacity,  // a count byte above the capacity of its entries, whatever the length
  kUnknown,       // a type outside the catalogue
};

// The number of forms; each form's value is below it.
inline constexpr std::size_t kPacketForms = 5;

// The form of packet: its type byte, its length byte L and L readable payload bytes. Reads no
// payload byte but the count byte of a layout with counted entries, and that only when L
// reaches it.
PacketForm packet_form(const uint8_t *packet);

// The form's name in the tools' outputs: "exact", "short", "long", "over_capacity", "unknown".
std::string_view form_name(PacketForm form);

}  // namespace protolib

#endif  // PROTOLIB_PACKET_FORM_HPP
