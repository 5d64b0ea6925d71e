// The listing run of dumpten and dumptwo (list_stream, their main work as a function) over
// arbitrary captures, in process with memory input and output.
//
// Input: a count byte and that many u16 read sizes (1 + n bytes, used in turn); a u16 failing
// read (0: none; n: read number n - 1 and every later one fail); then the capture as
// fuzz_capture reads it.
//
// Promises checked, for each program:
// - reads of the chosen sizes give the same lines, progress and counts as reads of 64 KiB;
// - a run whose read fails reports it and has listed exactly what a run over the bytes served
//   before the failure lists (checked for one of the two programs an input, the one the failing
//   read's number chooses: the other's reading is the same code);
// - one line per packet of the listed type that a plain framer finds in the capture, each line
//   with the program's number of fields; the framer's error count as packet errors;
// - progress is "1\r2\r...N\r", the count before each line.
#include <protolib/decoder.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/fuzz_capture.h"
#include "listing/dumpten_line.h"
#include "listing/dumptwo_line.h"
#include "listing/listing.h"
#include "testing/listing_text.h"
#include "testing/memory_io.h"
#include "testing/test_packets.h"

namespace {

constexpr unsigned kRingSize = 1024;

struct Program {
  uint8_t listed_type;
  std::size_t fields;  // numbers on every line
  std::unique_ptr<listing::LineFormatter> (*make_line)();
};

const Program kPrograms[] = {
    {10, 42,
     []() -> std::unique_ptr<listing::LineFormatter> {
       return std::make_unique<listing::DumptenLine>();
     }},
    {2, 24,
     []() -> std::unique_ptr<listing::LineFormatter> {
       return std::make_unique<listing::DumptwoLine>();
     }},
};

struct Listing {
  listing::ListingCounts counts;
  std::string out;
  std::string progress;
};

// The output buffers of every run: made once, as each holds 64 KiB, and empty between runs.
struct Outputs {
  StringSink out_sink;
  StringSink progress_sink;
  io::OutputBuffer out{out_sink, false};
  io::OutputBuffer progress{progress_sink, false};
};

Listing list(const Program &program, io::ByteSource &in) {
  static const auto outputs = std::make_unique<Outputs>();
  ByteRing *ring = nullptr;
  FUZZ_REQUIRE(ring_create(&ring, nullptr, kRingSize) == 0);
  PacketDecoder *decoder = decoder_create(ring);
  const std::unique_ptr<listing::LineFormatter> line = program.make_line();
  const listing::ListingCounts counts = listing::list_stream(program.listed_type, *line, *decoder,
                                                             in, outputs->out, outputs->progress);
  FUZZ_REQUIRE(outputs->out.flush() && outputs->progress.flush());
  decoder_destroy(decoder);
  ring_destroy(ring);
  Listing listing{counts, std::move(outputs->out_sink.text),
                  std::move(outputs->progress_sink.text)};
  outputs->out_sink.text.clear();
  outputs->progress_sink.text.clear();
  return listing;
}

bool same_listing(const Listing &a, const Listing &b) {
  return a.out == b.out && a.progress == b.progress && a.counts.lines == b.counts.lines &&
         a.counts.packet_errors == b.counts.packet_errors;
}

// Every line ends in a newline and holds fields decimal numbers separated by single spaces.
bool lines_have_fields(std::string_view out, std::size_t fields) {
  for (std::size_t end = out.find('\n'); !out.empty(); end = out.find('\n')) {
    if (end == std::string_view::npos) return false;
    const std::string_view line = out.substr(0, end);
    if (line.empty() || line.front() == ' ' || line.back() == ' ' ||
        line.find("  ") != std::string_view::npos ||
        line.find_first_not_of("0123456789- ") != std::string_view::npos ||
        static_cast<std::size_t>(std::count(line.begin(), line.end(), ' ')) != fields - 1) {
      return false;
    }
    out.remove_prefix(end + 1);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  FuzzInput input(data, size);
  const std::vector<std::size_t> read_sizes = input.read_sizes();
  const uint16_t failing_read = input.u16();
  const Bytes bytes = fuzz_capture(input);
  const uint8_t *capture = bytes.data();
  const std::size_t capture_size = bytes.size();
  const FramerTally framed = framer_tally(capture, capture_size);

  for (const Program &program : kPrograms) {
    MemorySource whole_in(capture, capture_size);
    const Listing whole = list(program, whole_in);
    FUZZ_REQUIRE(!whole.counts.read_failed);
    FUZZ_REQUIRE(whole.counts.lines == framed.packets[program.listed_type]);
    FUZZ_REQUIRE(whole.counts.packet_errors == static_cast<uint64_t>(framed.errors));
    FUZZ_REQUIRE(lines_have_fields(whole.out, program.fields));
    FUZZ_REQUIRE(static_cast<unsigned long>(std::count(whole.out.begin(), whole.out.end(), '\n')) ==
                 whole.counts.lines);
    FUZZ_REQUIRE(whole.progress == progress(whole.counts.lines));

    MemorySource chunked_in(capture, capture_size, read_sizes);
    const Listing chunked = list(program, chunked_in);
    FUZZ_REQUIRE(!chunked.counts.read_failed && same_listing(chunked, whole));

    if (failing_read == 0 || &program != &kPrograms[failing_read % 2]) continue;
    MemorySource failing_in(capture, capture_size, read_sizes, failing_read - 1u);
    const Listing failing = list(program, failing_in);
    MemorySource prefix_in(capture, failing_in.served());
    const Listing prefix = list(program, prefix_in);
    FUZZ_REQUIRE(failing.counts.read_failed == (failing_in.reads() >= failing_read));
    FUZZ_REQUIRE(same_listing(failing, prefix));
  }
  return 0;
}
