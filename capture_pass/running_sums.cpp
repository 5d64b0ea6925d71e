#include "capture_pass/running_sums.h"

#include <algorithm>
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
Block shifted_up(Block block, std::index_sequence<lane...>) {
  return __builtin_shufflevector(Block{}, block,
                                 (lane < shift ? 0 : static_cast<int>(kLanes + lane - shift))...);
}

// The last lane's value in every lane.
template <std::size_t... lane>
Block last_in_every_lane(Block block, std::index_sequence<lane...>) {
  return __builtin_shufflevector(block, block, (static_cast<int>(lane * 0 + kLanes - 1))...);
}

// Each lane plus all the lanes below it.
Block running_total(Block block) {
  block += shifted_up<1>(block, kLaneIndices);
  block += shifted_up<2>(block, kLaneIndices);
  block += shifted_up<4>(block, kLaneIndices);
  block += shifted_up<8>(block, kLaneIndices);
  return block;
}

}  // namespace

void RunningSums::start_over(const uint8_t *bytes, std::size_t size) {
  bytes_ = bytes;
  size_ = size;
  if (a_.size() < size + 1) {
    a_.resize(size + 1);
    b_.resize(size + 1);
  }
  reached_ = 0;
  a_[0] = 0;
  b_[0] = 0;
}

void RunningSums::reach(std::size_t from, std::size_t to) {
  if (from > reached_) {
    reached_ = from;
    a_[from] = 0;
    b_[from] = 0;
  }
  // Whole blocks where there are bytes.
  const std::size_t wanted = to > reached_ ? to - reached_ : 0;
  const std::size_t until = std::min(size_, reached_ + (wanted + kLanes - 1) / kLanes * kLanes);
  // Local pointers: the stores through them could otherwise change the members' values.
  const uint8_t *const bytes = bytes_;
  uint8_t *const a_after = a_.data() + 1;
  uint8_t *const b_after = b_.data() + 1;
  std::size_t i = reached_;
  Block a = Block{} + a_[i];
  Block b = Block{} + b_[i];
  for (; until - i >= kLanes; i += kLanes) {
    Block block;
    std::memcpy(&block, bytes + i, kLanes);
    a = running_total(block) + a;
    b = running_total(a) + b;
    std::memcpy(a_after + i, &a, kLanes);
    std::memcpy(b_after + i, &b, kLanes);
    a = last_in_every_lane(a, kLaneIndices);
    b = last_in_every_lane(b, kLaneIndices);
  }
  for (; i < until; ++i) {
    a_after[i] = static_cast<uint8_t>(a_after[i - 1] + bytes[i]);
    b_after[i] = static_cast<uint8_t>(b_after[i - 1] + a_after[i]);
  }
  bytes_summed_ += until - reached_;
  reached_ = until;
}

}  // namespace capture_pass
