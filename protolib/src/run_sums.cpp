#include "protolib/src/run_sums.h"

#include <bit>
#include <cstdlib>
#include <cstring>

namespace protolib {

namespace {

// The sums of a run taken one byte at a time, carrying on from the sums of the bytes before it.
RunSums carry_on(RunSums sums, const uint8_t *run, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    sums.bytes += run[i];
    sums.weighted += sums.bytes;
  }
  return sums;
}

// The sums of the 8 bytes of a little-endian word, in 16-bit lanes that cannot carry into each
// other: the even bytes and the odd ones apart, multiplied so that the top lane collects each
// byte times its weight (8 for the first byte down to 1 for the last), or times 1 for the sum.
RunSums word_sums(uint64_t word) {
  constexpr uint64_t kLanes = 0x00FF00FF00FF00FF;
  constexpr uint64_t kOnes = 0x0001000100010001;
  constexpr uint64_t kEvenWeights = 0x0008000600040002;
  constexpr uint64_t kOddWeights = 0x0007000500030001;
  const uint64_t even = word & kLanes;
  const uint64_t odd = (word >> 8) & kLanes;
  return {static_cast<uint32_t>(((even + odd) * kOnes) >> 48),
          static_cast<uint32_t>((even * kEvenWeights + odd * kOddWeights) >> 48)};
}

}  // namespace

RunSums copy_and_sum_portable(uint8_t *dest, const uint8_t *run, std::size_t n,
                              const uint8_t * /*readable_end*/) {
  if (n == 0) return {0, 0};  // run may be null then, which memcpy must not be given
  std::memcpy(dest, run, n);
  if constexpr (std::endian::native != std::endian::little) return carry_on({0, 0}, run, n);
  // Eight bytes at a time: each word adds its own weighted bytes and, 8 times over, the bytes
  // of the words before it.
  RunSums sums{0, 0};
  std::size_t at = 0;
  for (; at + sizeof(uint64_t) <= n; at += sizeof(uint64_t)) {
    uint64_t word = 0;
    std::memcpy(&word, run + at, sizeof word);
    const RunSums word_sum = word_sums(word);
    sums.weighted += 8 * sums.bytes + word_sum.weighted;
    sums.bytes += word_sum.bytes;
  }
  return carry_on(sums, run + at, n - at);
}

bool have_avx2() {
#if defined(__x86_64__)
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

CopyAndSum copy_and_sum_for_this_cpu() {
  const bool vector_allowed = std::getenv("PROTOLIB_NO_VECTOR") == nullptr;
  return copy_and_sum_avx2 != nullptr && vector_allowed && have_avx2() ? copy_and_sum_avx2
                                                                       : copy_and_sum_portable;
}

namespace {

RunSums choose_then_copy_and_sum(uint8_t *dest, const uint8_t *run, std::size_t n,
                                 const uint8_t *readable_end) {
  const CopyAndSum version = copy_and_sum_for_this_cpu();
  copy_and_sum_in_use.store(version, std::memory_order_relaxed);
  return version(dest, run, n, readable_end);
}

}  // namespace

std::atomic<CopyAndSum> copy_and_sum_in_use{choose_then_copy_and_sum};

}  // namespace protolib
