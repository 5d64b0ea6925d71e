// checksum_floor FILE: the least work any lister of FILE must do per byte: one pass in large
// reads, running the framer's two checksum sums over every byte. Prints the final sums so the
// work cannot be skipped.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>

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
  uint8_t a = 0;
  uint8_t b = 0;
  for (ssize_t n = read(fd, block.get(), kBlock); n > 0; n = read(fd, block.get(), kBlock)) {
    for (ssize_t i = 0; i < n; ++i) {
      a = static_cast<uint8_t>(a + block[static_cast<size_t>(i)]);
      b = static_cast<uint8_t>(b + a);
    }
  }
  close(fd);
  std::printf("%u %u\n", a, b);
  return 0;
}
