// The generator's random numbers: xoshiro256** seeded through splitmix64, with range mappings of
// our own, so one seed gives the same sequence on every compiler and standard library.
#ifndef CAPGEN_SRC_RNG_H
#define CAPGEN_SRC_RNG_H

#include <cstdint>

namespace capgen {

class Rng {
 public:
  // Every seed, 0 included, gives a usable state.
  explicit Rng(uint64_t seed) {
    for (uint64_t &word : state_) word = splitmix64(seed);
  }

  // The next 64 random bits.
  uint64_t next() {
    const uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
  }

  // A value in [0, n) for n in 1..2^32, nearly uniform (the bias is below 2^-32 per value).
  uint32_t below(uint64_t n) { return static_cast<uint32_t>(((next() >> 32) * n) >> 32); }

  // A value in [low, high]; requires low <= high and high - low < 2^32.
  int64_t between(int64_t low, int64_t high) {
    return low + below(static_cast<uint64_t>(high - low) + 1);
  }

  // True with probability threshold / 2^53; see chance_threshold.
  bool chance(uint64_t threshold) { return (next() >> 11) < threshold; }

  // One random byte.
  uint8_t byte() { return static_cast<uint8_t>(next() >> 56); }

 private:
  static uint64_t splitmix64(uint64_t &x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }
  static uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

  uint64_t state_[4] = {};
};

// The threshold that makes Rng::chance true with probability p, for p in [0, 1].
inline uint64_t chance_threshold(double p) {
  return static_cast<uint64_t>(p * 9007199254740992.0);  // p * 2^53
}

}  // namespace capgen

#endif  // CAPGEN_SRC_RNG_H
