// capdump's dump pass (dump_pass, its main work as a function) over arbitrary captures, in
// process with memory input and output, as JSON Lines and as --stats.
//
// Input: a flags byte (bit 0: recovery, bit 1: a clock); a count byte and that many u16 read sizes
// (1 + n bytes, used in turn); then the capture as fuzz_capture reads it.
//
// Promises checked:
// - each line of the JSON Lines (rejected and unfinished packets included) is one JSON object
//   and fits the sink's line buffer;
// - reads of the chosen sizes give the same text as reads of 64 KiB;
// - the --stats bytes (in packets, in rejected packets, noise, unfinished) add up to the bytes
//   read, which are the capture's;
// - the listing without recovery, read back by capgen's JSON Lines reader (which skips the
//   rejected packets), gives exactly the packets the library's framer accepts in the capture;
// - with a clock (type 1's 16-bit uword, which wraps and steps back often in random bytes),
//   the lines' times never go back, and the clock's steps, resets and first packet add up to
//   the exact type-1 packets listed.
#include <nlohmann/json.hpp>

#include <string_view>

#include "capgen/jsonl/jsonl_reader.h"
#include "capture_pass/capture_stats.h"
#include "capture_pass/clock_sink.h"
#include "fuzz/fuzz_capture.h"
#include "testing/dump_harness.h"

namespace {

// The longest line JsonLinesSink has room for, newline included.
constexpr std::size_t kMaxLine = 4096;

bool lines_are_objects(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos || end + 1 > kMaxLine) return false;
    const auto object = nlohmann::json::parse(text.substr(0, end), nullptr, false);
    if (!object.is_object()) return false;
    text.remove_prefix(end + 1);
  }
  return true;
}

bool stats_add_up(const Bytes &capture, bool recover) {
  capture_pass::StatsSink stats_sink(recover);
  MemorySource in(capture.data(), capture.size());
  const capture_pass::CaptureStats stats =
      stats_sink.stats(capture_pass::dump_pass(in, recover, stats_sink));
  const uint64_t unfinished = stats.unfinished ? stats.unfinished->received : 0;
  return stats.bytes_read == capture.size() &&
         stats.packet_bytes + stats.rejected_bytes + stats.noise_bytes + unfinished ==
             stats.bytes_read;
}

// listing: capdump's JSON Lines of capture without recovery; capgen skips the rejected packets.
bool round_trips(const Bytes &capture, const std::string &listing) {
  MemorySource in(reinterpret_cast<const uint8_t *>(listing.data()), listing.size());
  Bytes back;
  const std::string error = capgen::packets_from_jsonl(in, "listing", "listing",
                                                       [&back](const uint8_t *data, std::size_t n) {
                                                         back.insert(back.end(), data, data + n);
                                                         return true;
                                                       });
  return error.empty() && back == accepted_packets(capture);
}

bool clock_holds(const Bytes &capture, bool recover) {
  const capture_pass::NamedClock named = capture_pass::parse_clock("1.uword:ms").clock.value();
  StringSink listing;
  {
    capture_pass::PacketClock clock(named);
    io::OutputBuffer out(listing, false);
    capdump::JsonLinesSink json(out, true, &clock);
    capture_pass::ClockSink timed(clock, json);
    MemorySource in(capture.data(), capture.size());
    capture_pass::dump_pass(in, recover, timed);
    out.flush();
  }
  capture_pass::PacketClock clock(named);
  capture_pass::ClockSteps steps;
  capture_pass::StatsSink stats_sink(recover, &clock, &steps);
  capture_pass::ClockSink timed(clock, stats_sink, {}, &steps);
  MemorySource in(capture.data(), capture.size());
  const capture_pass::CaptureStats stats =
      stats_sink.stats(capture_pass::dump_pass(in, recover, timed));
  double last = -1;
  uint64_t exact_type1 = 0;
  std::string_view text = listing.text;
  for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
    const auto line = nlohmann::json::parse(text.substr(0, end));
    text.remove_prefix(end + 1);
    if (!line["time"].is_null()) {
      if (line["time"].get<double>() < last) return false;
      last = line["time"].get<double>();
    }
    exact_type1 += line.value("type", -1) == 1 && !line.contains("form") && !line.contains("error");
  }
  const capture_pass::ClockFigures &figures = stats.clock.value();
  return figures.gaps.steps + figures.resets + (figures.first ? 1 : 0) == exact_type1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  FuzzInput input(data, size);
  const uint8_t flags = input.byte();
  const bool recover = (flags & 1) != 0;
  const std::vector<std::size_t> read_sizes = input.read_sizes();
  const Bytes capture = fuzz_capture(input);

  const DumpText whole = json_lines(capture, recover, true);
  FUZZ_REQUIRE(!whole.totals.read_failed && whole.totals.bytes == capture.size());
  FUZZ_REQUIRE(lines_are_objects(whole.text));
  FUZZ_REQUIRE(json_lines(capture, recover, true, read_sizes).text == whole.text);
  FUZZ_REQUIRE(stats_add_up(capture, recover));
  FUZZ_REQUIRE(recover || round_trips(capture, whole.text));
  FUZZ_REQUIRE((flags & 2) == 0 || clock_holds(capture, recover));
  return 0;
}
