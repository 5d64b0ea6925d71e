// reason_names.h - how the outputs name the framer's reasons for rejecting a packet.
#ifndef CAPTURE_PASS_REASON_NAMES_H
#define CAPTURE_PASS_REASON_NAMES_H

#include <protolib/framer.h>

#include <cstddef>
#include <string_view>

namespace capture_pass {

struct ReasonName {
  FramerEvent reason;
  std::string_view key;    // in JSON: the "error" value, and the key in the stats object
  std::string_view label;  // in the stats table
};

// Every rejection reason, in the order the framer checks a packet, which the stats follow.
inline constexpr ReasonName kReasonNames[] = {
    {FRAMER_OVERSIZE_LENGTH, "oversize_length", "oversize length"},
    {FRAMER_BAD_CHECKSUM_A, "checksum_a", "checksum A"},
    {FRAMER_BAD_CHECKSUM_B, "checksum_b", "checksum B"},
};

// The entry of reason, which must be a rejection.
constexpr const ReasonName &reason_name(FramerEvent reason) {
  return kReasonNames[static_cast<std::size_t>(reason - FRAMER_OVERSIZE_LENGTH)];
}
// The place of reason, which must be a rejection, in kReasonNames.
constexpr std::size_t reason_index(FramerEvent reason) {
  return static_cast<std::size_t>(&reason_name(reason) - kReasonNames);
}

static_assert(reason_name(FRAMER_OVERSIZE_LENGTH).reason == FRAMER_OVERSIZE_LENGTH &&
              reason_name(FRAMER_BAD_CHECKSUM_A).reason == FRAMER_BAD_CHECKSUM_A &&
              reason_name(FRAMER_BAD_CHECKSUM_B).reason == FRAMER_BAD_CHECKSUM_B);

}  // namespace capture_pass

#endif  // CAPTURE_PASS_REASON_NAMES_H
