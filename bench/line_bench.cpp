#include <benchmark/benchmark.h>

#include <random>

#include "listing/dumpten_line.h"
#include "listing/dumptwo_line.h"

namespace {

// A decoder whose listed record (of type bits Listed) changes before every line, as in an
// output-bound listing.
template <typename Line, uint32_t Listed, typename Change>
void run_line(benchmark::State &state, Change change) {
  PacketDecoder decoder{};
  decoder.rec1.uword = 51234;
  decoder.rec20.lead = 123456789;
  Line line;
  char text[listing::LineFormatter::kMaxLine];
  std::mt19937 rng(3);
  uint32_t changed = ~uint32_t{0};
  for (auto _ : state) {
    change(decoder, static_cast<uint32_t>(rng()));
    benchmark::DoNotOptimize(line.format(decoder, changed, text));
    changed = Listed;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_DumptenLine(benchmark::State &state) {
  run_line<listing::DumptenLine, listing::type_bits<Type10Record>()>(
      state, [](PacketDecoder &d, uint32_t r) {
        d.rec10.lead = r;
        for (int16_t &word : d.rec10.words) word = static_cast<int16_t>(r += 7919);
      });
}
BENCHMARK(BM_DumptenLine);

void BM_DumptwoLine(benchmark::State &state) {
  run_line<listing::DumptwoLine, listing::type_bits<Type2Record>()>(
      state, [](PacketDecoder &d, uint32_t r) {
        d.rec2.lead = r;
        for (int16_t &word : d.rec2.words) word = static_cast<int16_t>(r += 7919);
      });
}
BENCHMARK(BM_DumptwoLine);

}  // namespace
