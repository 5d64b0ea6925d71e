// recovery_check: how many intact packets of a damaged capture capdump lists, with and without
// --recover. Not a unit test: a measurement, printed as a Markdown table.
//
// Usage: recovery_check [MIB] [SEED]   (defaults: 16 MiB, seed 1)
//
// Makes a clean recording of MIB MiB with capgen's generator (seed SEED), then three damaged
// copies, each byte chosen independently with a fixed sequence from SEED: 0.1% of bytes
// flipped (replaced by a different value), 1% flipped, 1% deleted. A packet of the recording
// is intact when none of its bytes was flipped or deleted; it is listed when capdump's pass
// accepts a packet at the offset where it now lies. Also counts the listed packets that are no
// intact packet (damaged packets whose checksums still matched, false sync pairs).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

#include "capgen/instrument/rng.h"
#include "capgen/recording/generator.h"
#include "capture_pass/dump_pass.h"
#include "testing/memory_io.h"

namespace {

using Bytes = std::vector<uint8_t>;

enum class Harm { kFlip, kDelete };

struct Damaged {
  Bytes bytes;
  std::vector<uint64_t> intact_offsets;  // where the intact packets lie in bytes
};

// Applies harm to each byte of clean with probability rate and notes the intact packets.
Damaged damage(const Bytes &clean, Harm harm, double rate, uint64_t seed) {
  capgen::Rng rng(seed);
  const uint64_t threshold = capgen::chance_threshold(rate);
  std::vector<bool> harmed(clean.size());
  Damaged out;
  for (std::size_t i = 0; i < clean.size(); ++i) {
    harmed[i] = rng.chance(threshold);
    if (!harmed[i]) {
      out.bytes.push_back(clean[i]);
    } else if (harm == Harm::kFlip) {
      out.bytes.push_back(static_cast<uint8_t>(clean[i] + 1 + rng.below(255)));
    }
  }
  // The recording holds whole packets back to back from offset 0.
  uint64_t deleted = 0;  // before at
  for (std::size_t at = 0; at + 4 <= clean.size();) {
    const std::size_t end = at + clean[at + 3] + 6u;
    bool intact = true;
    for (std::size_t i = at; i < end && i < clean.size(); ++i) intact = intact && !harmed[i];
    if (intact) out.intact_offsets.push_back(at - deleted);
    for (std::size_t i = at; i < end && i < clean.size(); ++i) {
      if (harmed[i] && harm == Harm::kDelete) ++deleted;
    }
    at = end;
  }
  return out;
}

// Offsets of the packets a pass accepts.
class OffsetSink final : public capture_pass::EventSink {
 public:
  void packet(const capture_pass::FrameEvent &event, const uint8_t *, bool) override {
    offsets.insert(event.offset);
  }
  void rejected(const capture_pass::FrameEvent &, const uint8_t *) override {}
  void unfinished(uint64_t, const uint8_t *, std::size_t) override {}
  bool failed() const override { return false; }
  std::unordered_set<uint64_t> offsets;
};

struct Listing {
  double intact_share;  // of the intact packets, the share listed
  uint64_t not_intact;  // listed packets that are no intact packet
};

Listing list(const Damaged &damaged, bool recover) {
  MemorySource in(damaged.bytes.data(), damaged.bytes.size());
  OffsetSink sink;
  capture_pass::dump_pass(in, recover, sink);
  uint64_t listed = 0;
  for (uint64_t offset : damaged.intact_offsets) listed += sink.offsets.count(offset);
  return {100.0 * static_cast<double>(listed) / static_cast<double>(damaged.intact_offsets.size()),
          sink.offsets.size() - listed};
}

}  // namespace

int main(int argc, char **argv) {
  const uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 16;
  const uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  capgen::CaptureSettings settings;
  settings.max_bytes = mib << 20;
  settings.seed = seed;
  Bytes clean;
  capgen::generate(settings, [&clean](const uint8_t *data, std::size_t size) {
    clean.insert(clean.end(), data, data + size);
    return true;
  });
  struct Case {
    const char *name;
    Harm harm;
    double rate;
  };
  std::printf(
      "| Damage (%llu MiB, seed %llu) | Intact packets | Listed | Listed with --recover | "
      "Not intact, listed / with --recover |\n|---|---:|---:|---:|---:|\n",
      static_cast<unsigned long long>(mib), static_cast<unsigned long long>(seed));
  for (const Case &c : {Case{"0.1% of bytes flipped", Harm::kFlip, 0.001},
                        Case{"1% of bytes flipped", Harm::kFlip, 0.01},
                        Case{"1% of bytes deleted", Harm::kDelete, 0.01}}) {
    const Damaged damaged = damage(clean, c.harm, c.rate, seed);
    const Listing standard = list(damaged, false);
    const Listing recovered = list(damaged, true);
    std::printf("| %s | %zu | %.3f%% | %.3f%% | %llu / %llu |\n", c.name,
                damaged.intact_offsets.size(), standard.intact_share, recovered.intact_share,
                static_cast<unsigned long long>(standard.not_intact),
                static_cast<unsigned long long>(recovered.not_intact));
  }
  return 0;
}
