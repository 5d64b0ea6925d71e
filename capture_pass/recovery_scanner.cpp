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

// Whether a sync pair begins at p, in one comparison.
[[gnu::always_inline]] inline bool sync_pair_at(const uint8_t *p) {
  static constexpr uint8_t kPair[2] = {WIRE_SYNC1, WIRE_SYNC2};
  uint16_t here;
  uint16_t pair;
  std::memcpy(&here, p, 2);
  std::memcpy(&pair, kPair, 2);
  return here == pair;
}

// The offset of the first 0x81 among the eight bytes from p, or 7 when only the last may be.
[[gnu::always_inline]] inline uint64_t offset_of_sync1(const uint8_t *p) {
  if (p[0] == WIRE_SYNC1) return 0;
  if (p[1] == WIRE_SYNC1) return 1;
  if (p[2] == WIRE_SYNC1) return 2;
  if (p[3] == WIRE_SYNC1) return 3;
  if (p[4] == WIRE_SYNC1) return 4;
  if (p[5] == WIRE_SYNC1) return 5;
  if (p[6] == WIRE_SYNC1) return 6;
  return 7;
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

[[gnu::noinline]] RecoveryScanner::Hunted RecoveryScanner::skip_rejected(
    const uint8_t *data, const RunningSums::Taken &taken, uint64_t at, uint64_t quick,
    uint64_t b_reached) {
  const RunningSums::Taken sums = taken;  // in registers: nothing here writes to memory
  if (at >= quick) return {at, Phase::kSync1};
  for (;;) {
    // The hunt goes on from the first 0x81 within a few bytes, when 0xA1 follows it.
    at += offset_of_sync1(data + at);
    if (!sync_pair_at(data + at)) return {at, Phase::kSync1};
    at += 2;
    const uint64_t checks = at + 2 + data[at + 1];
    if (at >= quick || (sums.byte_is_a_of(at, checks) &&
                        (checks > b_reached || data[checks + 1] == sums.b_over(at, checks)))) {
      return {at, Phase::kType};
    }
  }
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
    } else {
      // Rejected: hunting goes on from the type byte.
      next = skip_rejected(data, sums, at, quick, sums_.b_reached());
      if (next.phase == Phase::kSync1) next = hunt(data, size, Phase::kSync1, next.at);
    }
  }
  hunted_ += next.at - start - accepted_bytes;
  position_ = begin + next.at;
  phase_ = next.phase;
}

}  // namespace capture_pass
