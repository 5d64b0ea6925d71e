#include "frame_scanner.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace capdump {

namespace {

constexpr unsigned kRingSize = 1024;
// The most bytes handed over at once: the framer empties the ring on every call (each step ends
// on a byte it decides on, or on the last byte of a hunt or a payload), so all of it is free.
constexpr std::size_t kRingRoom = kRingSize - 1;
constexpr uint8_t kSync1 = 0x81;
constexpr uint8_t kSync2 = 0xA1;

// Bytes up to and including the first one equal to sync, or all available when there is none.
std::size_t bytes_through(const uint8_t *at, std::size_t available, uint8_t sync) {
  const void *found = std::memchr(at, sync, available);
  return found == nullptr ? available
                          : static_cast<std::size_t>(static_cast<const uint8_t *>(found) - at) + 1;
}

// The reason for a rejection in the state the framer was in when it took the deciding byte.
Outcome rejection_in(uint32_t state) {
  switch (state) {
    case READ_LENGTH:
      return Outcome::kOversizeLength;
    case CHECK_A:
      return Outcome::kChecksumA;
    default:
      return Outcome::kChecksumB;
  }
}

}  // namespace

FrameScanner::FrameScanner(bool backtrack, int max_length) : backtrack_(backtrack) {
  if (ring_create(&ring_, nullptr, kRingSize) != 0) throw std::bad_alloc();
  framer_ = framer_create(ring_, max_length);
  if (framer_ == nullptr) {
    ring_destroy(ring_);
    throw std::bad_alloc();
  }
}

FrameScanner::~FrameScanner() {
  framer_destroy(framer_);
  ring_destroy(ring_);
}

bool FrameScanner::hunting() const {
  return framer_->state == HUNT_SYNC1 || framer_->state == HUNT_SYNC2;
}

uint64_t FrameScanner::frontier() const {
  switch (framer_->state) {
    case HUNT_SYNC1:
      return position_;
    case HUNT_SYNC2:  // the next byte may be the 0xA1 of a sync pair that began before it
      return position_ - 1;
    default:
      return packet_start_;
  }
}

std::optional<uint64_t> FrameScanner::packet_in_progress() const {
  if (hunting()) return std::nullopt;
  return packet_start_;
}

uint64_t FrameScanner::noise_bytes() const {
  return noise_ + (hunting() ? position_ - hunt_start_ : 0);
}

void FrameScanner::finish_packet(Outcome outcome, std::vector<FrameEvent> &events) {
  events.push_back({packet_start_, outcome});
  if (outcome != Outcome::kAccepted && backtrack_) position_ = packet_start_ + 2;
  hunt_start_ = position_;
}

void FrameScanner::scan(const ByteWindow &window, std::vector<FrameEvent> &events) {
  while (position_ < window.end()) {
    const uint8_t *at = window.at(position_);
    const auto available = static_cast<std::size_t>(window.end() - position_);
    const uint32_t state = framer_->state;
    std::size_t step = 1;
    if (state == HUNT_SYNC1) step = bytes_through(at, available, kSync1);
    if (state == HUNT_SYNC2) step = bytes_through(at, available, kSync2);
    if (state == READ_PAYLOAD) step = std::min<std::size_t>(framer_->remaining, available);
    step = std::min(step, kRingRoom);

    ring_write(ring_, at, static_cast<int>(step));
    const bool accepted = framer_next(framer_) != nullptr;
    position_ += step;

    if (state == HUNT_SYNC2 && framer_->state == READ_TYPE) {
      packet_start_ = position_ - 2;  // the byte before the 0xA1 just taken
      noise_ += packet_start_ - hunt_start_;
    } else if (accepted) {
      finish_packet(Outcome::kAccepted, events);
    } else if (framer_->state == HUNT_SYNC1 &&
               (state == READ_LENGTH || state == CHECK_A || state == CHECK_B)) {
      // Only a rejection leads from these states back to the hunt without a packet; the step
      // was the one byte the state decides on.
      finish_packet(rejection_in(state), events);
    }
  }
}

}  // namespace capdump
