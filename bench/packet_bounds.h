// Where the packets of a capture end, as the framer finds them: for feeding a capture to a program
// one packet at a time.
#ifndef PROTOLIB_BENCH_PACKET_BOUNDS_H
#define PROTOLIB_BENCH_PACKET_BOUNDS_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// One packet the framer accepted.
struct PacketBound {
  std::size_t end;  // offset just past its last byte
  uint8_t type;
};

// Runs the framer (lengths up to the largest payload) over capture and returns every packet it
// accepts, in order. Rejected packets and noise are left to the bytes before the next one.
std::vector<PacketBound> packet_bounds(std::string_view capture);

#endif  // PROTOLIB_BENCH_PACKET_BOUNDS_H
