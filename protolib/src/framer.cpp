// The receive state machine. Its results are those of taking one byte at a time and acting on it
// by state; for speed it works on the ring's readable bytes a contiguous run at a time, searching
// for sync bytes with memchr, summing payload bytes in a tight loop, and deciding a packet that
// lies whole in the run at once: its bytes copied in one go, its sums taken many bytes at a time.
#include <protolib/framer.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "protolib/src/ring_span.h"
#include "protolib/src/run_sums.h"

namespace {

// The buffer of a framer that accepts every length byte; a larger max_length accepts nothing
// more, so its buffer needs no more room.
constexpr int kLargestPacketBuffer = FRAMER_ACCEPT_EVERY_LENGTH + 4;

// Counts a rejected packet and starts hunting again.
FramerEvent reject(PacketFramer *framer, FramerEvent reason) {
  if (framer->errors < INT32_MAX) ++framer->errors;
  framer->state = HUNT_SYNC1;
  return reason;
}

// Skips bytes up to and including the next one equal to sync; returns the position after what
// was skipped, and whether sync was found.
const uint8_t *hunt(const uint8_t *run, const uint8_t *run_end, int sync, bool &found) {
  const auto *at =
      static_cast<const uint8_t *>(std::memchr(run, sync, static_cast<size_t>(run_end - run)));
  found = at != nullptr;
  return found ? at + 1 : run_end;
}

// Stores up to remaining payload bytes from the run and adds them to both sums. Returns the
// position after the bytes taken.
const uint8_t *take_payload(PacketFramer *framer, const uint8_t *run, const uint8_t *run_end) {
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
  return run + n;
}

// Acts on one byte in a state that takes bytes singly. Returns the decision it led to, or
// FRAMER_DRY when it decided nothing.
FramerEvent take_byte(PacketFramer *framer, uint8_t byte) {
  switch (framer->state) {
    case READ_TYPE:
      framer->write = framer->buffer;
      *framer->write++ = byte;
      framer->sum_a = byte;
      framer->sum_b = byte;
      framer->state = READ_LENGTH;
      return FRAMER_DRY;
    case READ_LENGTH:
      if (byte > framer->max_length) return reject(framer, FRAMER_OVERSIZE_LENGTH);
      *framer->write++ = byte;
      framer->remaining = byte;
      framer->sum_a = static_cast<uint8_t>(framer->sum_a + byte);
      framer->sum_b = static_cast<uint8_t>(framer->sum_b + framer->sum_a);
      framer->state = byte > 0 ? READ_PAYLOAD : CHECK_A;
      return FRAMER_DRY;
    case CHECK_A:
      if (byte != framer->sum_a) return reject(framer, FRAMER_BAD_CHECKSUM_A);
      framer->state = CHECK_B;
      return FRAMER_DRY;
    case CHECK_B:
      if (byte != framer->sum_b) return reject(framer, FRAMER_BAD_CHECKSUM_B);
      framer->state = HUNT_SYNC1;
      return FRAMER_ACCEPTED;
    default:  // a state no call of ours leaves behind; start over
      framer->state = HUNT_SYNC1;
      return FRAMER_DRY;
  }
}

// Decides the packet whose type byte is at run when all of it, through checksum B, lies in the
// run and its length is accepted, leaving the framer exactly as taking its bytes one at a time
// would. Returns the position after the deciding byte, with event the decision; otherwise
// returns run with nothing taken.
[[gnu::always_inline]] inline const uint8_t *take_whole_packet(PacketFramer *framer,
                                                               const uint8_t *run,
                                                               const uint8_t *run_end,
                                                               FramerEvent &event) {
  constexpr int kSyncPair = 2;
  if (run_end - run < WIRE_HEADER_SIZE - kSyncPair) return run;
  const uint8_t length = run[1];
  if (length > framer->max_length || run_end - run < length + WIRE_OVERHEAD - kSyncPair) {
    return run;
  }
  // Type and length are copied and summed as the first two bytes of the run.
  const protolib::RunSums sums = protolib::copy_and_sum(framer->buffer, run, length + 2u, run_end);
  const auto sum_a = static_cast<uint8_t>(sums.bytes);
  const auto sum_b = static_cast<uint8_t>(sums.weighted);
  framer->write = framer->buffer + length + 2;
  framer->remaining = 0;
  framer->sum_a = sum_a;
  framer->sum_b = sum_b;
  const uint8_t *checks = run + 2 + length;
  if (checks[0] != sum_a) {
    event = reject(framer, FRAMER_BAD_CHECKSUM_A);
    return checks + 1;
  }
  if (checks[1] != sum_b) {
    event = reject(framer, FRAMER_BAD_CHECKSUM_B);
    return checks + 2;
  }
  framer->state = HUNT_SYNC1;
  event = FRAMER_ACCEPTED;
  return checks + 2;
}

// Bytes from the sync pair through the deciding byte of a packet decided as event.
int32_t decided_size(const PacketFramer *framer, FramerEvent event) {
  const int32_t length = framer->buffer[1];
  switch (event) {
    case FRAMER_OVERSIZE_LENGTH:
      return WIRE_HEADER_SIZE;
    case FRAMER_BAD_CHECKSUM_A:
      return length + WIRE_OVERHEAD - 1;
    default:
      return length + WIRE_OVERHEAD;
  }
}

// Acts on the bytes of run until a decision or the end of the run. Returns the position after
// the bytes taken; event receives the decision, FRAMER_DRY when there was none.
const uint8_t *take_run(PacketFramer *framer, const uint8_t *run, const uint8_t *run_end,
                        FramerEvent &event) {
  event = FRAMER_DRY;
  bool found = false;
  // Packets mostly follow one another, so a sync pair is most often where hunting starts.
  if (framer->state == HUNT_SYNC1 && run_end - run > 2 && run[0] == WIRE_SYNC1 &&
      run[1] == WIRE_SYNC2) {
    framer->state = READ_TYPE;
    run = take_whole_packet(framer, run + 2, run_end, event);
  }
  while (run != run_end && event == FRAMER_DRY) {
    switch (framer->state) {
      case HUNT_SYNC1:
        run = hunt(run, run_end, WIRE_SYNC1, found);
        if (found) framer->state = HUNT_SYNC2;
        break;
      case HUNT_SYNC2:
        run = hunt(run, run_end, WIRE_SYNC2, found);
        if (found) {
          framer->state = READ_TYPE;
          run = take_whole_packet(framer, run, run_end, event);
        }
        break;
      case READ_PAYLOAD:
        run = take_payload(framer, run, run_end);
        break;
      default:
        event = take_byte(framer, *run++);
        break;
    }
  }
  return run;
}

// Takes bytes from the ring up to the next decision, or until it runs dry.
FramerEvent next_decision(PacketFramer *framer) {
  ByteRing *ring = framer->input;
  for (;;) {
    int size = 0;
    const uint8_t *run = protolib::claim_span(ring, &size);
    if (size == 0) return FRAMER_DRY;
    FramerEvent event = FRAMER_DRY;
    const uint8_t *taken_to = take_run(framer, run, run + size, event);
    protolib::consume_span(ring, static_cast<int>(taken_to - run));
    if (event != FRAMER_DRY) return event;
  }
}

}  // namespace

extern "C" {

PacketFramer *framer_create(ByteRing *ring, int max_length) {
  if (max_length < 0) return nullptr;
  auto *framer = static_cast<PacketFramer *>(std::malloc(sizeof(PacketFramer)));
  if (framer == nullptr) return nullptr;
  // Room for whole blocks of the copy too.
  const auto needed = static_cast<size_t>(std::min(max_length, kLargestPacketBuffer - 4) + 4);
  const size_t buffer_size =
      (needed + protolib::kRunBlock - 1) / protolib::kRunBlock * protolib::kRunBlock;
  auto *buffer = static_cast<uint8_t *>(std::calloc(buffer_size, 1));
  if (buffer == nullptr) {
    std::free(framer);
    return nullptr;
  }
  *framer = PacketFramer{ring, max_length, HUNT_SYNC1, 0, buffer, buffer, 0, 0, 0};
  return framer;
}

FramerReport framer_step(PacketFramer *framer) {
  const FramerEvent event = next_decision(framer);
  return FramerReport{event, event == FRAMER_DRY ? 0 : decided_size(framer, event)};
}

uint8_t *framer_next(PacketFramer *framer) {
  for (;;) {
    switch (next_decision(framer)) {
      case FRAMER_ACCEPTED:
        return framer->buffer;
      case FRAMER_DRY:
        return nullptr;
      default:
        break;  // a rejected packet, already counted
    }
  }
}

int32_t framer_pending(const PacketFramer *framer) {
  const auto stored = static_cast<int32_t>(framer->write - framer->buffer);
  switch (framer->state) {
    case READ_TYPE:
      return 2;
    case READ_LENGTH:
      return 3;
    case READ_PAYLOAD:
    case CHECK_A:
      return 2 + stored;
    case CHECK_B:
      return 3 + stored;
    default:
      return 0;  // hunting for a sync pair
  }
}

int32_t framer_take_errors(PacketFramer *framer) {
  const int32_t taken = framer->errors;
  framer->errors = 0;
  return taken;
}

void framer_destroy(PacketFramer *framer) {
  if (framer == nullptr) return;
  std::free(framer->buffer);
  std::free(framer);
}

}  // extern "C"
