#include "capture_pass/recovery_scanner.h"

#include <protolib/wire.h>

#include <algorithm>
#include <cstring>

namespace capture_pass {

namespace {

// The index of the first byte equal to value in data[at, size), or size. Packets mostly lie
// close together, so the few bytes at hand are looked at before the search proper.
[[gnu::always_inline]] inline uint64_t index_of(const uint8_t *data, uint64_t at, uint64_t size,
                                                uint8_t value) {
  constexpr uint64_t kAtHand = 8;
  for (const uint64_t end = std::min(size, at + kAtHand); at < end; ++at) {
    if (data[at] == value) return at;
  }
  if (at == size) return size;
  const void *found = std::memchr(data + at, value, size - at);
  return found != nullptr ? static_cast<uint64_t>(static_cast<const uint8_t *>(found) - data)
                          : size;
}

// How far past a packet's type byte the sums are taken at once: past the longest packet, and as
// far again as a few dozen packets of a storm of sync pairs take.
constexpr uint64_t kSumsAhead = RunningSums::kLongestStretch + 64;

// The end of the type bytes before which any packet lies in a window of size bytes (2 or more)
// with its sums taken, where the sums reach reached: its checksum bytes go up to
// kLongestStretch + 2 bytes past its type byte.
uint64_t quick_end(uint64_t reached, uint64_t size) {
  const uint64_t checks_end = std::min(reached, size - 2);
  return checks_end > RunningSums::kLongestStretch ? checks_end - RunningSums::kLongestStretch : 0;
}

}  // namespace

uint64_t RecoveryScanner::frontier() const {
  switch (phase_) {
    case Phase::kSync2:
      return position_ - 1;  // the 0xA1 hunted for may be at position_
    case Phase::kType:
      return position_ - 2;
    default:
      return position_;
  }
}

[[gnu::always_inline]] inline RecoveryScanner::Hunted RecoveryScanner::hunt(const uint8_t *data,
                                                                            uint64_t size,
                                                                            Phase phase,
                                                                            uint64_t at) {
  if (phase == Phase::kSync1) {
    at = index_of(data, at, size, WIRE_SYNC1);
    if (at == size) return {at, Phase::kSync1};
    ++at;
  }
  at = index_of(data, at, size, WIRE_SYNC2);
  if (at == size) return {at, Phase::kSync2};
  return {at + 1, Phase::kType};
}

void RecoveryScanner::scan(const ByteWindow &window, std::vector<FrameEvent> &events) {
  // Indices into the window from here on.
  const uint64_t begin = window.begin();
  const uint8_t *const data = window.at(begin);
  const uint64_t size = window.end() - begin;
  sums_.start_over(data, size);
  RunningSums::Taken sums = sums_.taken();
  uint64_t quick = 0;  // packets whose type byte lies before need no checks of where they end
  const uint64_t start = position_ - begin;
  Hunted next = phase_ == Phase::kType ? Hunted{start, phase_} : hunt(data, size, phase_, start);
  uint64_t accepted_bytes = 0;
  while (next.phase == Phase::kType) {
    const uint64_t at = next.at;  // the packet's type byte; its length byte follows
    if (at >= quick) {
      if (size - at < 2 || at + 2 + data[at + 1] + 2 > size) break;
      sums_.reach(at, at + kSumsAhead);
      sums = sums_.taken();
      quick = quick_end(sums_.reached(), size);
    }
    const uint64_t checks = at + 2 + data[at + 1];
    if (data[checks] == sums.a_over(at, checks) && data[checks + 1] == sums.b_over(at, checks)) {
      events.push_back({begin + at - 2, FRAMER_ACCEPTED, static_cast<int32_t>(checks + 4 - at)});
      accepted_bytes += checks + 2 - at;
      next = hunt(data, size, Phase::kSync1, checks + 2);
    } else if (data[at] == WIRE_SYNC1 && data[at + 1] == WIRE_SYNC2) {
      // Rejected, hunting goes on from the type byte; in a storm of sync pairs one is there.
      next.at = at + 2;
    } else {
      next = hunt(data, size, Phase::kSync1, at);
    }
  }
  hunted_ += next.at - start - accepted_bytes;
  position_ = begin + next.at;
  phase_ = next.phase;
}

}  // namespace capture_pass
