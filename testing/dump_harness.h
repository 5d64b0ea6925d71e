// Test helpers: captures made by capgen's generator, and capdump's pass run in process over
// bytes in memory.
#ifndef TESTING_DUMP_HARNESS_H
#define TESTING_DUMP_HARNESS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "capdump/src/json_lines.h"
#include "capgen/recording/generator.h"
#include "capture_pass/dump_pass.h"
#include "io/output_buffer.h"
#include "testing/memory_io.h"
#include "testing/test_packets.h"

// A capture of about packets packets from seed, with every damage kind at rate (none at 0).
inline Bytes generated_capture(uint64_t seed, uint64_t packets, double rate) {
  capgen::CaptureSettings settings;
  settings.seed = seed;
  settings.max_packets = packets;
  settings.max_bytes = capgen::kNoLimit;
  if (rate > 0) settings.damage.set();
  settings.damage_rate = rate;
  Bytes capture;
  capgen::generate(settings, [&capture](const uint8_t *data, std::size_t size) {
    capture.insert(capture.end(), data, data + size);
    return true;
  });
  return capture;
}

// What a pass wrote, and its totals.
struct DumpText {
  std::string text;
  capture_pass::PassTotals totals;
};

// Runs the pass over bytes read in the given sizes (see MemorySource), through the sink
// make_sink(out) makes, where out buffers into the returned text.
template <typename MakeSink>
DumpText run_pass(const Bytes &bytes, bool recover, MakeSink make_sink,
                  std::vector<std::size_t> read_sizes = {},
                  std::size_t fail_at = MemorySource::kNeverFails) {
  MemorySource in(bytes.data(), bytes.size(), std::move(read_sizes), fail_at);
  StringSink sink;
  DumpText result;
  {
    io::OutputBuffer out(sink, false);
    auto event_sink = make_sink(out);
    result.totals = capture_pass::dump_pass(in, recover, event_sink);
    out.flush();
  }
  result.text = sink.text;
  return result;
}

// capdump's JSON Lines of bytes; errors: with rejected and unfinished packets.
inline DumpText json_lines(const Bytes &bytes, bool recover, bool errors,
                           std::vector<std::size_t> read_sizes = {},
                           std::size_t fail_at = MemorySource::kNeverFails) {
  return run_pass(
      bytes, recover,
      [errors](io::OutputBuffer &out) { return capdump::JsonLinesSink(out, errors); },
      std::move(read_sizes), fail_at);
}

#endif  // TESTING_DUMP_HARNESS_H
