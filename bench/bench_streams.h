// Byte streams the benchmarks feed through the library.
#ifndef PROTOLIB_BENCH_BENCH_STREAMS_H
#define PROTOLIB_BENCH_BENCH_STREAMS_H

#include <protolib/writer.h>

#include <cstdint>
#include <random>
#include <vector>

// n bytes of uniform noise, sync bytes included.
inline std::vector<uint8_t> random_bytes(size_t n) {
  std::mt19937_64 rng(1);
  std::vector<uint8_t> bytes(n);
  for (auto &byte : bytes) byte = static_cast<uint8_t>(rng());
  return bytes;
}

// Valid packets of one type with payload_size random payload bytes, about n bytes in all.
inline std::vector<uint8_t> valid_packets(size_t n, uint8_t type, size_t payload_size) {
  std::mt19937_64 rng(2);
  std::vector<uint8_t> bytes(n + payload_size + 6);
  size_t used = 0;
  while (used < n) {
    uint8_t *pos = packet_begin(bytes.data() + used, type);
    for (size_t i = 0; i < payload_size; ++i) *pos++ = static_cast<uint8_t>(rng());
    used += static_cast<size_t>(packet_finish(bytes.data() + used, pos));
  }
  bytes.resize(used);
  return bytes;
}

#endif  // PROTOLIB_BENCH_BENCH_STREAMS_H
