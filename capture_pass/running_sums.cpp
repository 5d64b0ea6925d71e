#include "capture_pass/running_sums.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace capture_pass {

namespace {

// Sixteen bytes summed side by side, in whatever vector registers the target has.
constexpr std::size_t kLanes = 16;
using Block = uint8_t __attribute__((vector_size(kLanes)));
constexpr auto kLaneIndices = std::make_index_sequence<kLanes>();

// The block moved up by shift lanes, zeros coming in at the bottom.
template <int shift, std::size_t... lane>
[[gnu::always_inline]] inline Block shifted_up(Block block, std::index_sequence<lane...>) {
  return __builtin_shufflevector(Block{}, block,
                                 (lane < shift ? 0 : static_cast<int>(kLanes + lane - shift))...);
}

// The last lane's value in every lane.
template <std::size_t... lane>
[[gnu::always_inline]] inline Block last_in_every_lane(Block block, std::index_sequence<lane...>) {
  return __builtin_shufflevector(block, block, (static_cast<int>(lane * 0 + kLanes - 1))...);
}

// Each lane plus all the lanes below it.
[[gnu::always_inline]] inline Block running_total(Block block) {
  block += shifted_up<1>(block, kLaneIndices);
  block += shifted_up<2>(block, kLaneIndices);
  block += shifted_up<4>(block, kLaneIndices);
  block += shifted_up<8>(block, kLaneIndices);
  return block;
}

// Sums blocks of 16 terms [from, until): after[i] = after[i - 1] + terms[i], the total before
// from being after[from - 1]; with less_twice, also less_twice[i] = after[i] - 2 * terms[i].
// until - from is a multiple of 16.
template <bool kLessTwice>
[[gnu::always_inline]] inline void sum_blocks(const uint8_t *terms, uint8_t *after,
                                              uint8_t *less_twice, std::size_t from,
                                              std::size_t until) {
  Block total = Block{} + after[from - 1];
  for (std::size_t i = from; i < until; i += kLanes) {
    Block block;
    std::memcpy(&block, terms + i, kLanes);
    total = running_total(block) + total;
    std::memcpy(after + i, &total, kLanes);
    if constexpr (kLessTwice) {
      const Block less = total - block - block;
      std::memcpy(less_twice + i, &less, kLanes);
    }
    total = last_in_every_lane(total, kLaneIndices);
  }
}

void sum_a_blocks(const uint8_t *bytes, uint8_t *a_after, uint8_t *a_less_byte, std::size_t from,
                  std::size_t until) {
  sum_blocks<true>(bytes, a_after, a_less_byte, from, until);
}
void sum_b_blocks(const uint8_t *a_after, uint8_t *b_after, std::size_t from, std::size_t until) {
  sum_blocks<false>(a_after, b_after, nullptr, from, until);
}

#if defined(__x86_64__)
// The same loops compiled for AVX2, whose three-operand forms and byte shuffles take about a
// third fewer instructions a block; chosen only where the CPU has it, and not when the
// environment sets PROTOLIB_NO_VECTOR, as for the library's framing.
[[gnu::target("avx2")]] void sum_a_blocks_avx2(const uint8_t *bytes, uint8_t *a_after,
                                               uint8_t *a_less_byte, std::size_t from,
                                               std::size_t until) {
  sum_blocks<true>(bytes, a_after, a_less_byte, from, until);
}
[[gnu::target("avx2")]] void sum_b_blocks_avx2(const uint8_t *a_after, uint8_t *b_after,
                                               std::size_t from, std::size_t until) {
  sum_blocks<false>(a_after, b_after, nullptr, from, until);
}
const bool kHaveAvx2 =
    std::getenv("PROTOLIB_NO_VECTOR") == nullptr && __builtin_cpu_supports("avx2");
#else
constexpr bool kHaveAvx2 = false;
constexpr auto sum_a_blocks_avx2 = sum_a_blocks;
constexpr auto sum_b_blocks_avx2 = sum_b_blocks;
#endif

// The end of the whole blocks from reached towards to, within size, and then of the bytes left.
std::size_t blocks_end(std::size_t reached, std::size_t to, std::size_t size) {
  const std::size_t wanted = to > reached ? to - reached : 0;
  return std::min(size, reached + (wanted + kLanes - 1) / kLanes * kLanes);
}

}  // namespace

void RunningSums::start_over(const uint8_t *bytes, std::size_t size) {
  bytes_ = bytes;
  size_ = size;
  if (a_.size() < size + 1) {
    a_.resize(size + 1);
    b_.resize(size + 1);
    a_less_byte_.resize(size + 1);
  }
  reached_ = 0;
  b_reached_ = 0;
  a_[0] = 0;
  b_[0] = 0;
}

void RunningSums::reach(std::size_t from, std::size_t to) {
  if (from > reached_) {
    reached_ = from;
    b_reached_ = from;
    a_[from] = 0;
    b_[from] = 0;
  }
  const std::size_t until = blocks_end(reached_, to, size_);
  const std::size_t whole = reached_ + (until - reached_) / kLanes * kLanes;
  // The arrays hold the sums before each index; index i + 1 is the sum after byte i.
  uint8_t *const a_after = a_.data() + 1;
  (kHaveAvx2 ? sum_a_blocks_avx2 : sum_a_blocks)(bytes_, a_after, a_less_byte_.data(), reached_,
                                                 whole);
  for (std::size_t i = whole; i < until; ++i) {
    a_after[i] = static_cast<uint8_t>(a_after[i - 1] + bytes_[i]);
    a_less_byte_[i] = static_cast<uint8_t>(a_after[i] - bytes_[i] - bytes_[i]);
  }
  bytes_summed_ += until - reached_;
  reached_ = until;
}

void RunningSums::reach_b(std::size_t to) {
  const std::size_t until = std::min(reached_, blocks_end(b_reached_, to, size_));
  const std::size_t whole = b_reached_ + (until - b_reached_) / kLanes * kLanes;
  const uint8_t *const a_after = a_.data() + 1;
  uint8_t *const b_after = b_.data() + 1;
  (kHaveAvx2 ? sum_b_blocks_avx2 : sum_b_blocks)(a_after, b_after, b_reached_, whole);
  for (std::size_t i = whole; i < until; ++i) {
    b_after[i] = static_cast<uint8_t>(b_after[i - 1] + a_after[i]);
  }
  b_reached_ = until;
}

}  // namespace capture_pass
