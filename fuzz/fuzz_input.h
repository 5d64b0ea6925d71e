// fuzz_input.h - how the fuzz targets split one input into the choices it makes (sizes, counts,
// values) and the bytes they process, and how they report a broken promise.
#ifndef PROTOLIB_FUZZ_FUZZ_INPUT_H
#define PROTOLIB_FUZZ_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Reads an input from the front. Past the end every byte reads as 0, so any input, however
// short, makes a complete set of choices.
class FuzzInput {
 public:
  FuzzInput(const uint8_t *data, std::size_t size) : data_(data), size_(size) {}

  uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  // Two bytes, the first the high one.
  uint16_t u16() {
    const auto high = byte();
    return static_cast<uint16_t>(high << 8 | byte());
  }
  // A count byte, then that many u16 values.
  std::vector<uint16_t> u16_list() {
    std::vector<uint16_t> values(byte());
    for (uint16_t &value : values) value = u16();
    return values;
  }

  // A count byte and that many u16 values n, each as a read size of 1 + n bytes (see
  // MemorySource).
  std::vector<std::size_t> read_sizes() {
    std::vector<std::size_t> sizes;
    for (const uint16_t n : u16_list()) sizes.push_back(1u + n);
    return sizes;
  }

  // The bytes not yet read.
  const uint8_t *rest() const { return data_ + at_; }
  std::size_t rest_size() const { return size_ - at_; }
  // Marks n of the remaining bytes as read (all of them when fewer remain).
  void skip(std::size_t n) { at_ += n < rest_size() ? n : rest_size(); }

 private:
  const uint8_t *data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// The choices of a capture pass, from one flags byte: bit 0 asks for recovery, bit 1 for a clock.
// The whole byte is kept in bits: its other bits are the caller's to give a meaning.
struct PassFlags {
  uint8_t bits;
  bool recover;
  bool timed;
};

inline PassFlags pass_flags(FuzzInput &input) {
  const uint8_t bits = input.byte();
  return {bits, (bits & 1) != 0, (bits & 2) != 0};
}

// Element i of sizes, counting round again from the start (1 + sizes[i % n] % limit), or
// limit when sizes is empty: a size in 1..limit.
inline std::size_t cycle_size(const std::vector<uint16_t> &sizes, std::size_t i,
                              std::size_t limit) {
  return sizes.empty() ? limit : 1 + sizes[i % sizes.size()] % limit;
}

// Marks a harness's own checking code (a reference to compare with, a check of output text):
// built without coverage instrumentation, as it is not code under test. Instrumented, each of
// its comparisons costs a call, and its branches would be features the fuzzer chases for nothing.
#if defined(__clang__)
#define FUZZ_CHECKER __attribute__((no_sanitize("coverage")))
#else
#define FUZZ_CHECKER
#endif

// Set by a harness's LLVMFuzzerInitialize, which libFuzzer calls before the first input and the
// replay main never does: its costliest checks then run for a share of the inputs only.
inline bool fuzz_sampling = false;

// Whether the costliest checks run for this input: under libFuzzer for one input in one_in,
// those whose bytes hash to 0 mod one_in (FNV-1a: any change to an input chooses afresh, the
// same input always chooses the same); under the replay main (g++ builds, the tests' replay of
// the seeds) for every input.
FUZZ_CHECKER inline bool checked_in_full(const uint8_t *data, std::size_t size, uint32_t one_in) {
  if (!fuzz_sampling) return true;
  uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash % one_in == 0;
}

[[noreturn]] inline void fuzz_failed(const char *condition, const char *file, int line) {
  std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, condition);
  std::abort();
}

// Aborts with the condition's text when it is false, so the fuzzer keeps the input.
#define FUZZ_REQUIRE(condition) \
  ((condition) ? static_cast<void>(0) : fuzz_failed(#condition, __FILE__, __LINE__))

#endif  // PROTOLIB_FUZZ_FUZZ_INPUT_H
