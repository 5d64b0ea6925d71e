// Both versions of copy-and-sum against the byte-at-a-time sums, on every run length a packet
// can have, with the readable bytes ending right after the run and far past it: the result, the
// copy, and the bytes of dest past the copy, which must keep their values.
#include "protolib/src/run_sums.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using protolib::CopyAndSum;
using protolib::kRunBlock;
using protolib::RunSums;

// The running pair taken one byte at a time, as the framer's state machine takes it.
RunSums byte_at_a_time(const uint8_t *run, size_t n) {
  uint32_t a = 0;
  uint32_t b = 0;
  for (size_t i = 0; i < n; ++i) {
    a += run[i];
    b += a;
  }
  return {a, b};
}

std::vector<std::pair<const char *, CopyAndSum>> versions() {
  std::vector<std::pair<const char *, CopyAndSum>> all{
      {"portable", protolib::copy_and_sum_portable}};
  if (protolib::copy_and_sum_avx2 != nullptr && protolib::have_avx2()) {
    all.emplace_back("avx2", protolib::copy_and_sum_avx2);
  }
  return all;
}

TEST(CopyAndSum, EveryVersionMatchesTheByteAtATimeSums) {
  std::minstd_rand rng(7);
  constexpr size_t kRoom = 288;  // the longest run, 257 bytes, rounded up to whole blocks
  for (const auto &[name, copy_and_sum] : versions()) {
    for (size_t n = 0; n <= 257; ++n) {
      for (const size_t readable_past_run : {size_t{0}, size_t{5}, kRunBlock + 1}) {
        SCOPED_TRACE(::testing::Message() << name << " n " << n << " past " << readable_past_run);
        // All 0xFF bytes weigh the most, and random ones catch misplaced weights.
        std::vector<uint8_t> source(n + readable_past_run);
        for (auto &byte : source) byte = n % 3 == 0 ? 0xFF : static_cast<uint8_t>(rng());
        std::vector<uint8_t> dest(kRoom, 0xA5);
        const RunSums got =
            copy_and_sum(dest.data(), source.data(), n, source.data() + source.size());
        const RunSums want = byte_at_a_time(source.data(), n);
        EXPECT_EQ(got.bytes & 0xFF, want.bytes & 0xFF);
        EXPECT_EQ(got.weighted & 0xFF, want.weighted & 0xFF);
        ASSERT_TRUE(std::equal(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(n),
                               dest.begin()));
        ASSERT_TRUE(std::all_of(dest.begin() + static_cast<std::ptrdiff_t>(n), dest.end(),
                                [](uint8_t byte) { return byte == 0xA5; }));
      }
    }
  }
}

// The chosen version is the vector one exactly where the CPU has it and it is not turned off.
TEST(CopyAndSum, TheChoiceFollowsTheCpuAndTheEnvironment) {
  const bool vector = protolib::copy_and_sum_avx2 != nullptr && protolib::have_avx2() &&
                      std::getenv("PROTOLIB_NO_VECTOR") == nullptr;
  EXPECT_EQ(protolib::copy_and_sum_for_this_cpu(),
            vector ? protolib::copy_and_sum_avx2 : protolib::copy_and_sum_portable);
}

}  // namespace
