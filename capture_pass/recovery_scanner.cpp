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
  if (size - at >= kAtHand) {
#pragma GCC unroll 8
    for (uint64_t i = 0; i < kAtHand; ++i) {
      if (data[at + i] == value) return at + i;
    }
    at += kAtHand;
  }
  if (at == size) return size;
  const void *found = std::memchr(data + at, value, size - at);
  return found != nullptr ? static_cast<uint64_t>(static_cast<const uint8_t *>(found) - data)
                          : size;
}

// How far past a packet's type byte the sums are taken at once: past the longest packet, and
// far enough beyond that the cost of a call is spread over many bytes.
constexpr uint64_t kSumsAhead = RunningSums::kLongestStretch + 4096;

// The end of the type bytes before which any packet lies in a window of size bytes (2 or more)
// with its sums taken, where the sums reach reached: its checksum bytes go up to
// kLongestStretch + 2 bytes past its type byte.
uint64_t quick_end(uint64_t reached, uint64_t size) {
  const uint64_t checks_end = std::min(reached, size - 2);
  return checks_end > RunningSums::kLongestStretch ? checks_end - RunningSums::kLongestStretch : 0;
}

// Whether a sync pair begins at p.
[[gnu::always_inline]] inline bool sync_pair_at(const uint8_t *p) {
  return p[0] == WIRE_SYNC1 && p[1] == WIRE_SYNC2;
}

// Goes past the packets from the type byte at on that checksum A rejects, for as long as each
// type byte begins the next sync pair, as in a storm of them: the one loop cheap enough to try a
// packet every two bytes, kept out of line so that it has the registers to itself. Returns the
// type byte it stopped at: a packet checksum A accepts, one after which hunting is needed, or
// quick or beyond.
[[gnu::noinline]] uint64_t skip_storm(const uint8_t *data, const RunningSums::Taken &sums,
                                      uint64_t at, uint64_t quick) {
  while (at < quick && !sums.byte_is_a_of(at, at + 2 + data[at + 1]) && sync_pair_at(data + at)) {
    at += 2;
  }
  return at;
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
    // Most often the pair's bytes lie side by side.
    if (at < size && data[at] == WIRE_SYNC2) return {at + 1, Phase::kType};
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
  const auto b_over = [&](uint64_t from, uint64_t to) {
    if (to > sums_.b_reached()) sums_.reach_b(to + kSumsAhead);
    return sums.b_over(from, to);
  };
  while (next.phase == Phase::kType) {
    const uint64_t at = next.at;  // the packet's type byte; its length byte follows
    if (at >= quick) {
      if (size - at < 2 || at + 2 + data[at + 1] + 2 > size) break;
      sums_.reach(at, at + kSumsAhead);
      sums = sums_.taken();
      quick = quick_end(sums_.reached(), size);
    }
    const uint64_t checks = at + 2 + data[at + 1];
    if (sums.byte_is_a_of(at, checks) && data[checks + 1] == b_over(at, checks)) {
      events.push_back({begin + at - 2, FRAMER_ACCEPTED, static_cast<int32_t>(checks + 4 - at)});
      accepted_bytes += checks + 2 - at;
      next = hunt(data, size, Phase::kSync1, checks + 2);
    } else if (sync_pair_at(data + at)) {
      // Rejected, hunting goes on from the type byte, where a sync pair lies; two in a row are
      // likely a storm of them.
      next.at = sync_pair_at(data + at + 2) ? skip_storm(data, sums, at + 2, quick) : at + 2;
    } else {
      next = hunt(data, size, Phase::kSync1, at);
    }
  }
  hunted_ += next.at - start - accepted_bytes;
  position_ = begin + next.at;
  phase_ = next.phase;
}

}  // namespace capture_pass
