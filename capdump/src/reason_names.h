// reason_names.h - how the outputs name the reasons for rejecting a packet.
#ifndef CAPDUMP_SRC_REASON_NAMES_H
#define CAPDUMP_SRC_REASON_NAMES_H

#include <cstddef>
#include <string_view>

#include "frame_scanner.h"

namespace capdump {

struct ReasonName {
  Outcome reason;
  std::string_view key;    // in JSON: the "error" value, and the key in the stats object
  std::string_view label;  // in the stats table
};

// Every rejection reason, in the order the framer checks a packet, which the stats follow.
inline constexpr ReasonName kReasonNames[] = {
    {Outcome::kOversizeLength, "oversize_length", "oversize length"},
    {Outcome::kChecksumA, "checksum_a", "checksum A"},
    {Outcome::kChecksumB, "checksum_b", "checksum B"},
};

// The entry of reason, which must be a rejection.
constexpr const ReasonName &reason_name(Outcome reason) {
  return kReasonNames[static_cast<std::size_t>(reason) - 1];
}
static_assert(reason_name(Outcome::kOversizeLength).reason == Outcome::kOversizeLength &&
              reason_name(Outcome::kChecksumA).reason == Outcome::kChecksumA &&
              reason_name(Outcome::kChecksumB).reason == Outcome::kChecksumB);

}  // namespace capdump

#endif  // CAPDUMP_SRC_REASON_NAMES_H
