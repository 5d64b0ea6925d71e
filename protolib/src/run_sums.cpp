#include "run_sums.h"

#include <cstdlib>

namespace protolib {

RunSums copy_and_sum_portable(uint8_t *dest, const uint8_t *run, std::size_t n,
                              const uint8_t * /*readable_end*/) {
  uint32_t bytes = 0;
  uint32_t weighted = 0;
  for (std::size_t i = 0; i < n; ++i) {
    dest[i] = run[i];
    bytes += run[i];
    weighted += bytes;
  }
  return {bytes, weighted};
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
