// Copy and sums with AVX2, compiled for that instruction set in these functions alone: nothing
// here runs unless the CPU check in run_sums.cpp has passed.
#include "protolib/src/run_sums.h"

#if defined(__x86_64__)

#include <immintrin.h>

namespace protolib {

namespace {

#define PROTOLIB_AVX2 __attribute__((target("avx2")))

// 32 bytes of 0xFF, then 32 of 0: the 32 bytes from kKeep + 32 - t keep a block's first t bytes.
alignas(32) constexpr uint8_t kKeep[2 * kRunBlock] = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

PROTOLIB_AVX2 __m256i load(const uint8_t *at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at));
}

// Copies whole blocks and sums them in 16-bit lanes, which keep the low bits the checksums
// need: the bytes, and each byte weighted by its distance from the end of the last block. Of the
// last block only the first last_bytes bytes are copied and summed; the rest of its place in
// dest is read and written back as it was.
PROTOLIB_AVX2 RunSums copy_and_sum_blocks(uint8_t *dest, const uint8_t *run, std::size_t blocks,
                                          std::size_t last_bytes) {
  const __m256i ones = _mm256_set1_epi8(1);
  const __m256i weights =
      _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14,
                       13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
  // Each block adds its own weighted bytes and, 32 times over, the bytes of all blocks before it.
  __m256i bytes = _mm256_setzero_si256();
  __m256i before = _mm256_setzero_si256();
  __m256i weighted = _mm256_setzero_si256();
  for (std::size_t at = 0; at < blocks * kRunBlock; at += kRunBlock) {
    __m256i block = load(run + at);
    if (at + kRunBlock == blocks * kRunBlock) {
      const __m256i keep = load(kKeep + kRunBlock - last_bytes);
      block = _mm256_blendv_epi8(load(dest + at), block, keep);
      _mm256_storeu_si256(reinterpret_cast<__m256i *>(dest + at), block);
      block = _mm256_and_si256(block, keep);
    } else {
      _mm256_storeu_si256(reinterpret_cast<__m256i *>(dest + at), block);
    }
    before = _mm256_add_epi16(before, bytes);
    bytes = _mm256_add_epi16(bytes, _mm256_maddubs_epi16(block, ones));
    weighted = _mm256_add_epi16(weighted, _mm256_maddubs_epi16(block, weights));
  }
  weighted = _mm256_add_epi16(weighted, _mm256_slli_epi16(before, 5));
  // Both vectors' lanes added up at once.
  const __m256i unit = _mm256_set1_epi16(1);
  const __m256i pairs =
      _mm256_hadd_epi32(_mm256_madd_epi16(weighted, unit), _mm256_madd_epi16(bytes, unit));
  __m128i half = _mm_add_epi32(_mm256_castsi256_si128(pairs), _mm256_extracti128_si256(pairs, 1));
  half = _mm_hadd_epi32(half, half);
  return {static_cast<uint32_t>(_mm_extract_epi32(half, 1)),
          static_cast<uint32_t>(_mm_cvtsi128_si32(half))};
}

// Near the end of what may be read: the whole blocks, then the bytes after them one at a time,
// which makes each byte of the blocks weigh that many more.
__attribute__((noinline)) PROTOLIB_AVX2 RunSums copy_and_sum_near_end(uint8_t *dest,
                                                                      const uint8_t *run,
                                                                      std::size_t n) {
  const std::size_t whole = n / kRunBlock * kRunBlock;
  const RunSums front = copy_and_sum_blocks(dest, run, whole / kRunBlock, kRunBlock);
  const RunSums tail = copy_and_sum_portable(dest + whole, run + whole, n - whole, run + n);
  return {front.bytes + tail.bytes,
          front.weighted + static_cast<uint32_t>(n - whole) * front.bytes + tail.weighted};
}

PROTOLIB_AVX2 RunSums copy_and_sum_with_avx2(uint8_t *dest, const uint8_t *run, std::size_t n,
                                             const uint8_t *readable_end) {
  const std::size_t blocks = (n + kRunBlock - 1) / kRunBlock;
  if (readable_end - run < static_cast<std::ptrdiff_t>(blocks * kRunBlock)) {
    return copy_and_sum_near_end(dest, run, n);
  }
  // The zeros masked in after the run weigh nothing, but each byte of the run weighs that many
  // more than its distance from the run's end.
  const RunSums padded = copy_and_sum_blocks(dest, run, blocks, n + kRunBlock - blocks * kRunBlock);
  const auto padding = static_cast<uint32_t>(blocks * kRunBlock - n);
  return {padded.bytes, padded.weighted - padding * padded.bytes};
}

#undef PROTOLIB_AVX2

}  // namespace

const CopyAndSum copy_and_sum_avx2 = copy_and_sum_with_avx2;

}  // namespace protolib

#else

namespace protolib {

const CopyAndSum copy_and_sum_avx2 = nullptr;

}  // namespace protolib

#endif
