#include <benchmark/benchmark.h>
#include <protolib/ring.h>

#include <vector>

namespace {

void BM_RingPutGet(benchmark::State &state) {
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 1024);
  uint8_t byte = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) ring_put(ring, byte++);
    int sum = 0;
    for (int got = ring_get(ring); got >= 0; got = ring_get(ring)) sum += got;
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * 1000);
  ring_destroy(ring);
}
BENCHMARK(BM_RingPutGet);

void BM_RingWriteRead(benchmark::State &state) {
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 1024);
  std::vector<uint8_t> block(static_cast<size_t>(state.range(0)), 7);
  std::vector<uint8_t> out(block.size());
  const int n = static_cast<int>(block.size());
  for (auto _ : state) {
    ring_write(ring, block.data(), n);
    benchmark::DoNotOptimize(ring_read(ring, out.data(), n));
  }
  state.SetBytesProcessed(state.iterations() * n);
  ring_destroy(ring);
}
BENCHMARK(BM_RingWriteRead)->Arg(100)->Arg(1023);

}  // namespace
