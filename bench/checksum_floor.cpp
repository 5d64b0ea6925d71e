// checksum_floor FILE: the least work any lister of FILE must do per byte: one pass in large
// reads, copying every byte and running the framer's two checksum sums over it, many bytes at a
// time as the framer does. Prints the final sums so the work cannot be skipped.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>

#include "protolib/src/run_sums.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fputs("usage: checksum_floor FILE\n", stderr);
    return 1;
  }
  const int fd = open(argv[1], O_RDONLY);
  if (fd < 0) {
    std::perror(argv[1]);
    return 1;
  }
  constexpr size_t kBlock = 1 << 20;
  auto block = std::make_unique<uint8_t[]>(kBlock);
  auto copy = std::make_unique<uint8_t[]>(kBlock);
  // The running pair over the file so far: a block of n bytes with sums S and W takes it from
  // (a, b) to (a + S, b + n * a + W).
  uint32_t a = 0;
  uint32_t b = 0;
  for (ssize_t n = read(fd, block.get(), kBlock); n > 0; n = read(fd, block.get(), kBlock)) {
    const auto size = static_cast<size_t>(n);
    const protolib::RunSums sums =
        protolib::copy_and_sum(copy.get(), block.get(), size, block.get() + size);
    b += static_cast<uint32_t>(size) * a + sums.weighted;
    a += sums.bytes;
  }
  a &= 0xFF;
  b &= 0xFF;
  close(fd);
  std::printf("%u %u\n", a, b);
  return 0;
}
