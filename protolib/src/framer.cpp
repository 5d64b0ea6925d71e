// The receive state machine. Its results are those of taking one byte at a time with ring_get
// and acting on it by state; for speed it works on the ring's readable bytes a contiguous run at
// a time, searching for sync bytes with memchr and summing payload bytes in a tight loop.
#include <protolib/framer.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>

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

// Moves the ring's read position to next, which lies in the readable run; wraps at the end.
void consume_to(ByteRing *ring, uint8_t *next) {
  ring->read_pos = next == ring->end ? ring->start : next;
}

// Skips bytes up to and including the next one equal to sync. Returns whether it was found.
bool hunt(ByteRing *ring, uint8_t *run, uint8_t *run_end, uint8_t sync) {
  auto *found = static_cast<uint8_t *>(std::memchr(run, sync, static_cast<size_t>(run_end - run)));
  consume_to(ring, found == nullptr ? run_end : found + 1);
  return found != nullptr;
}

// Stores up to remaining payload bytes from the run and adds them to both sums.
void take_payload(PacketFramer *framer, uint8_t *run, uint8_t *run_end) {
  const auto n = std::min<std::ptrdiff_t>(framer->remaining, run_end - run);
  uint8_t a = framer->sum_a;
  uint8_t b = framer->sum_b;
  uint8_t *write = framer->write;
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    a = static_cast<uint8_t>(a + run[i]);
    b = static_cast<uint8_t>(b + a);
    write[i] = run[i];
  }
  framer->sum_a = a;
  framer->sum_b = b;
  framer->write = write + n;
  framer->remaining = static_cast<uint8_t>(framer->remaining - n);
  if (framer->remaining == 0) framer->state = CHECK_A;
  consume_to(framer->input, run + n);
}

// Acts on one byte in a state that takes bytes singly. Returns true when a packet completed.
bool take_byte(PacketFramer *framer, uint8_t byte) {
  switch (framer->state) {
    case READ_TYPE:
      framer->write = framer->buffer;
      *framer->write++ = byte;
      framer->sum_a = byte;
      framer->sum_b = byte;
      framer->state = READ_LENGTH;
      return false;
    case READ_LENGTH:
      if (byte > framer->max_length) {
        reject(framer);
        return false;
      }
      *framer->write++ = byte;
      framer->remaining = byte;
      framer->sum_a = static_cast<uint8_t>(framer->sum_a + byte);
      framer->sum_b = static_cast<uint8_t>(framer->sum_b + framer->sum_a);
      framer->state = byte > 0 ? READ_PAYLOAD : CHECK_A;
      return false;
    case CHECK_A:
      if (byte == framer->sum_a) {
        framer->state = CHECK_B;
      } else {
        reject(framer);
      }
      return false;
    case CHECK_B:
      if (byte != framer->sum_b) {
        reject(framer);
        return false;
      }
      framer->state = HUNT_SYNC1;
      return true;
    default:  // a state no call of ours leaves behind; start over
      framer->state = HUNT_SYNC1;
      return false;
  }
}

}  // namespace

extern "C" {

PacketFramer *framer_create(ByteRing *ring, int max_length) {
  if (max_length < 0) return nullptr;
  auto *framer = static_cast<PacketFramer *>(std::malloc(sizeof(PacketFramer)));
  if (framer == nullptr) return nullptr;
  const auto buffer_size = static_cast<size_t>(std::min(max_length, kLargestPacketBuffer - 4) + 4);
  auto *buffer = static_cast<uint8_t *>(std::calloc(buffer_size, 1));
  if (buffer == nullptr) {
    std::free(framer);
    return nullptr;
  }
  *framer = PacketFramer{ring, max_length, HUNT_SYNC1, 0, buffer, buffer, 0, 0, 0};
  return framer;
}

uint8_t *framer_next(PacketFramer *framer) {
  ByteRing *ring = framer->input;
  while (ring->read_pos != ring->write_pos) {
    // The readable bytes up to the write position or the end of the storage, whichever is first.
    uint8_t *run = ring->read_pos;
    uint8_t *run_end = ring->write_pos > run ? ring->write_pos : ring->end;
    switch (framer->state) {
      case HUNT_SYNC1:
        if (hunt(ring, run, run_end, kSync1)) framer->state = HUNT_SYNC2;
        break;
      case HUNT_SYNC2:
        if (hunt(ring, run, run_end, kSync2)) framer->state = READ_TYPE;
        break;
      case READ_PAYLOAD:
        take_payload(framer, run, run_end);
        break;
      default:
        consume_to(ring, run + 1);
        if (take_byte(framer, *run)) return framer->buffer;
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
