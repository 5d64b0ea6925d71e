#include <benchmark/benchmark.h>
#include <protolib/decoder.h>
#include <protolib/framer.h>

#include "bench/bench_streams.h"

namespace {

// Feeds the stream through a 1024-byte ring, 1023 bytes at a time, taking every packet.
template <typename Take>
void feed(ByteRing *ring, const std::vector<uint8_t> &stream, Take take) {
  for (size_t at = 0; at < stream.size(); at += 1023) {
    const size_t n = std::min<size_t>(1023, stream.size() - at);
    ring_write(ring, stream.data() + at, static_cast<int>(n));
    while (ring_count(ring) > 0) take();
  }
}

void run_framer(benchmark::State &state, const std::vector<uint8_t> &stream) {
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 1024);
  PacketFramer *framer = framer_create(ring, FRAMER_ACCEPT_EVERY_LENGTH);
  for (auto _ : state) {
    feed(ring, stream, [&] { benchmark::DoNotOptimize(framer_next(framer)); });
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(stream.size()));
  framer_destroy(framer);
  ring_destroy(ring);
}

void BM_FramerNoise(benchmark::State &state) {
  run_framer(state, random_bytes(1 << 20));
}
BENCHMARK(BM_FramerNoise);

void BM_FramerType10Packets(benchmark::State &state) {
  run_framer(state, valid_packets(1 << 20, 10, 39));
}
BENCHMARK(BM_FramerType10Packets);

void BM_DecoderStep(benchmark::State &state) {
  const auto type = static_cast<uint8_t>(state.range(0));
  const size_t payload[] = {0,  8, 23, 11, 0, 0, 0, 0, 0,  32,  39, 0,
                            29, 0, 0,  17, 0, 0, 0, 0, 38, 134, 248};
  const std::vector<uint8_t> stream = valid_packets(1 << 20, type, payload[type]);
  ByteRing *ring = nullptr;
  ring_create(&ring, nullptr, 1024);
  PacketDecoder *decoder = decoder_create(ring);
  int64_t packets = 0;
  for (auto _ : state) {
    feed(ring, stream, [&] { packets += decoder_step(decoder) == type; });
  }
  state.SetItemsProcessed(packets);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(stream.size()));
  decoder_destroy(decoder);
  ring_destroy(ring);
}
BENCHMARK(BM_DecoderStep)->Arg(2)->Arg(10)->Arg(20)->Arg(22);

}  // namespace
