// Copies a run of bytes and takes the framer's two running sums over it at once. Over bytes
// x[0..n) a running pair (a, b) that starts at 0 and takes each byte by a += x, then b += a,
// ends at S = sum of x[i] and W = sum of (n - i) * x[i]. The work is done many bytes at a time:
// with AVX2 where the CPU has it (checked at run time), portably otherwise.
#ifndef PROTOLIB_SRC_RUN_SUMS_H
#define PROTOLIB_SRC_RUN_SUMS_H

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace protolib {

// S and W of a run, modulo 2^16 at least (the checksums keep their low 8 bits).
struct RunSums {
  uint32_t bytes;
  uint32_t weighted;
};

// The unit of the vector code: a destination must have room for n rounded up to a multiple of
// it, as whole blocks may be stored.
inline constexpr std::size_t kRunBlock = 32;

// Copies the n bytes at run to dest and returns their sums. The bytes from run up to
// readable_end (at least run + n) may all be read, and dest may be read and written up to n
// rounded up to kRunBlock, though bytes past its first n keep their values.
using CopyAndSum = RunSums (*)(uint8_t *dest, const uint8_t *run, std::size_t n,
                               const uint8_t *readable_end);

// The plain C++ version; any CPU. Reads the run and writes dest's first n bytes only.
RunSums copy_and_sum_portable(uint8_t *dest, const uint8_t *run, std::size_t n,
                              const uint8_t *readable_end);

// The AVX2 version; null where this build has none. Call it only when have_avx2() says yes.
extern const CopyAndSum copy_and_sum_avx2;

// Whether this CPU runs AVX2 instructions.
bool have_avx2();

// The version for this process: AVX2 when the CPU has it, unless the environment variable
// PROTOLIB_NO_VECTOR is set (to anything), which keeps the process on the portable code.
CopyAndSum copy_and_sum_for_this_cpu();

// The version in use: one that chooses the version for this process and puts it here, until
// the first call has done so. Threads racing on the first call all store the same choice.
extern std::atomic<CopyAndSum> copy_and_sum_in_use;

// Copies and sums with the version for this process.
inline RunSums copy_and_sum(uint8_t *dest, const uint8_t *run, std::size_t n,
                            const uint8_t *readable_end) {
  return copy_and_sum_in_use.load(std::memory_order_relaxed)(dest, run, n, readable_end);
}

}  // namespace protolib

#endif  // PROTOLIB_SRC_RUN_SUMS_H
