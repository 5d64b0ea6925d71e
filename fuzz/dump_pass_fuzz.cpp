// capdump's dump pass (dump_pass, its main work as a function) over arbitrary captures, in
// process with memory input and output, as JSON Lines and as --stats: both from one pass, whose
// events go to the two sinks at once.
//
// Input: a flags byte (bit 0: recovery, bit 1: a clock); a count byte and that many u16 read sizes
// (1 + n bytes, used in turn); then the capture as fuzz_capture reads it.
//
// Promises checked on every input:
// - each line of the JSON Lines (rejected and unfinished packets included) starts with '{',
//   ends with '}' and fits the sink's line buffer;
// - reads of the chosen sizes give the same text as reads of 64 KiB;
// - the --stats bytes (in packets, in rejected packets, noise, unfinished) add up to the bytes
//   read, which are the capture's.
// Reading the listing back, its JSON parsed, costs several times the pass itself, so under
// libFuzzer it is done for one input in eight (checked_in_full); the replay main (g++ builds, the
// tests' replay of the seeds) reads back every input:
// - with recovery or a clock, each line is one JSON object;
// - the listing without recovery, read back by capgen's JSON Lines reader (which parses every
//   line, refuses one that is not JSON and skips the rejected packets and the lines' times),
//   gives exactly the packets the library's framer accepts in the capture;
// - with a clock (type 1's 16-bit uword, which wraps and steps back often in random bytes),
//   the lines' times never go back, and the clock's steps, resets and first packet add up to
//   the exact type-1 packets listed.
#include <nlohmann/json.hpp>

#include <string_view>

#include "capgen/jsonl/jsonl_reader.h"
#include "capture_pass/capture_stats.h"
#include "fuzz/fuzz_capture.h"
#include "fuzz/fuzz_pass.h"
#include "fuzz/tee_sink.h"
#include "testing/dump_harness.h"

namespace {

// The longest line JsonLinesSink has room for, newline included.
constexpr std::size_t kMaxLine = 4096;

struct Pass {
  std::string listing;  // the JSON Lines, rejected and unfinished packets included
  capture_pass::PassTotals totals;
  capture_pass::CaptureStats stats;
};

// One pass over capture read in read_sizes, listed and counted; timed: by PassClock's clock.
Pass listed_and_counted(const Bytes &capture, bool recover, bool timed,
                        std::vector<std::size_t> read_sizes = {}) {
  PassClock clock(timed);
  capture_pass::StatsSink stats(recover, clock.clock(), clock.steps());
  MemorySource in(capture.data(), capture.size(), std::move(read_sizes));
  StringSink listing;
  Pass pass;
  {
    io::OutputBuffer out(listing, false);
    capdump::JsonLinesSink json(out, true, clock.clock());
    TeeSink both(json, stats);
    pass.totals = clock.run(in, recover, both);
    out.flush();
  }
  pass.listing = std::move(listing.text);
  pass.stats = stats.stats(pass.totals);
  return pass;
}

// How far lines_hold reads each line.
enum class LineCheck {
  kShape,     // starts with '{' and ends with '}': the JSON Lines reader parses it later
  kValidate,  // is valid JSON
  kParse,     // is parsed: its time and type are read
};

// Each line of text fits the line buffer and is one JSON object, as far as check reads it.
// Parsed lines' times must never go back, and exact_type1 counts the type-1 packets listed as
// exact.
bool lines_hold(std::string_view text, LineCheck check, uint64_t &exact_type1) {
  double last = -1;
  for (std::size_t end = text.find('\n'); !text.empty(); end = text.find('\n')) {
    if (end == std::string_view::npos || end + 1 > kMaxLine) return false;
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (!line.starts_with('{') || !line.ends_with('}')) return false;
    if (check == LineCheck::kValidate && !nlohmann::json::accept(line)) return false;
    if (check != LineCheck::kParse) continue;
    const auto object = nlohmann::json::parse(line, nullptr, false);
    if (!object.is_object()) return false;
    if (const auto time = object.find("time"); time != object.end() && !time->is_null()) {
      if (!time->is_number() || time->get<double>() < last) return false;
      last = time->get<double>();
    }
    exact_type1 +=
        object.value("type", -1) == 1 && !object.contains("form") && !object.contains("error");
  }
  return true;
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

bool clock_adds_up(const Pass &pass, uint64_t exact_type1) {
  const capture_pass::ClockFigures &figures = pass.stats.clock.value();
  return figures.gaps.steps + figures.resets + (figures.first ? 1 : 0) == exact_type1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/) {
  fuzz_sampling = true;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  FuzzInput input(data, size);
  const PassFlags flags = pass_flags(input);
  const bool recover = flags.recover;
  const bool timed = flags.timed;
  const bool read_back = checked_in_full(data, size, 8);
  const std::vector<std::size_t> read_sizes = input.read_sizes();
  const Bytes capture = fuzz_capture(input);

  const Pass whole = listed_and_counted(capture, recover, timed);
  FUZZ_REQUIRE(!whole.totals.read_failed && whole.totals.bytes == capture.size());
  // Lines are parsed only when the listing is read back, and then without recovery by the JSON
  // Lines reader, which parses every line (and refuses one that is not JSON): they need no parse
  // of their own here.
  const LineCheck check = !read_back ? LineCheck::kShape
                          : timed    ? LineCheck::kParse
                          : recover  ? LineCheck::kValidate
                                     : LineCheck::kShape;
  uint64_t exact_type1 = 0;
  FUZZ_REQUIRE(lines_hold(whole.listing, check, exact_type1));
  FUZZ_REQUIRE(listed_and_counted(capture, recover, timed, read_sizes).listing == whole.listing);
  FUZZ_REQUIRE(stats_add_up(whole.stats, capture.size()));
  if (!read_back) return 0;
  FUZZ_REQUIRE(recover || round_trips(capture, whole.listing));
  FUZZ_REQUIRE(!timed || clock_adds_up(whole, exact_type1));
  return 0;
}
