// The receive state machine: one switch over the states, both running sums updated per byte.
#include <protolib/framer.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

constexpr uint8_t kSync1 = 0x81;
constexpr uint8_t kSync2 = 0xA1;
// The buffer of a framer that accepts every length byte (max_length 256); a larger max_length
// accepts nothing more, so its buffer needs no more room.
constexpr int kLargestPacketBuffer = 256 + 4;

void reject(PacketFramer *framer) {
  if (framer->errors < INT32_MAX) ++framer->errors;
  framer->state = HUNT_SYNC1;
}

}  // namespace

extern "C" {

PacketFramer *framer_create(ByteRing *ring, int max_length) {
  if (max_length < 0) return nullptr;
  auto *framer = static_cast<PacketFramer *>(std::malloc(sizeof(PacketFramer)));
  if (framer == nullptr) return nullptr;
  const auto buffer_size = static_cast<size_t>(std::min(max_length, INT_MAX - 4) + 4);
  auto *buffer = static_cast<uint8_t *>(
      std::calloc(std::min(buffer_size, static_cast<size_t>(kLargestPacketBuffer)), 1));
  if (buffer == nullptr) {
    std::free(framer);
    return nullptr;
  }
  *framer = PacketFramer{ring, max_length, HUNT_SYNC1, 0, buffer, buffer, 0, 0, 0};
  return framer;
}

uint8_t *framer_next(PacketFramer *framer) {
  for (int next = ring_get(framer->input); next >= 0; next = ring_get(framer->input)) {
    const auto byte = static_cast<uint8_t>(next);
    switch (framer->state) {
      case HUNT_SYNC1:
        if (byte == kSync1) framer->state = HUNT_SYNC2;
        break;
      case HUNT_SYNC2:
        if (byte == kSync2) framer->state = READ_TYPE;
        break;
      case READ_TYPE:
        framer->write = framer->buffer;
        *framer->write++ = byte;
        framer->sum_a = byte;
        framer->sum_b = byte;
        framer->state = READ_LENGTH;
        break;
      case READ_LENGTH:
        if (byte > framer->max_length) {
          reject(framer);
          break;
        }
        *framer->write++ = byte;
        framer->remaining = byte;
        framer->sum_a = static_cast<uint8_t>(framer->sum_a + byte);
        framer->sum_b = static_cast<uint8_t>(framer->sum_b + framer->sum_a);
        framer->state = byte > 0 ? READ_PAYLOAD : CHECK_A;
        break;
      case READ_PAYLOAD:
        *framer->write++ = byte;
        framer->sum_a = static_cast<uint8_t>(framer->sum_a + byte);
        framer->sum_b = static_cast<uint8_t>(framer->sum_b + framer->sum_a);
        if (--framer->remaining == 0) framer->state = CHECK_A;
        break;
      case CHECK_A:
        if (byte == framer->sum_a) {
          framer->state = CHECK_B;
        } else {
          reject(framer);
        }
        break;
      case CHECK_B:
        if (byte != framer->sum_b) {
          reject(framer);
          break;
        }
        framer->state = HUNT_SYNC1;
        return framer->buffer;
      default:  // a state no call of ours leaves behind; start over
        framer->state = HUNT_SYNC1;
        break;
    }
  }
  return nullptr;
}

void framer_destroy(PacketFramer *framer) {
  if (framer == nullptr) return;
  std::free(framer->buffer);
  std::free(framer);
}

}  // extern "C"
