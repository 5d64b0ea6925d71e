// The listing run of dumpten and dumptwo (list_stream, their main work as a function) over
// arbitrary captures, in process with memory input and output.
//
// Input: a count byte and that many u16 read sizes (1 + n bytes, used in turn); a u16 failing
// read (0: none; n: read number n - 1 and every later one fail); then the capture as
// fuzz_capture reads it.
//
// Promises checked, for each program:
// - reads of the chosen sizes give the same lines, progress and counts as reads of 64 KiB
//   (checked for one of the two programs an input, the one the failing read's number does not
//   choose below: both read through the same code; with no read sizes the reads are 64 KiB
//   already and there is nothing to compare);
// - a run whose read fails reports it and has listed exactly what a run over the bytes served
//   before the failure lists (checked for one of the two programs an input, the one the failing
//   read's number chooses: the other's reading is the same code; when every byte was served
//   before the failure, that run is the one over the whole capture);
// - one line per packet of the listed type that a plain framer finds in the capture, each line
//   with the program's number of fields; the framer's error count as packet errors;
// - progress is "1\r2\r...N\r", the count before each line.
// Under libFuzzer an input lists the whole capture with one of the two programs only, the one
// the failing read's number chooses, and makes the chunked and failing runs only for one input in
// eight (checked_in_full): each run is the product's own listing, which is most of a run's cost.
// The replay main (g++ builds, the tests' replay of the seeds) checks everything on every input.
#include <protolib/decoder.h>

#include <charconv>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/fuzz_capture.h"
#include "listing/dumpten_line.h"
#include "listing/dumptwo_line.h"
#include "listing/listing.h"
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

// The number of lines in out when every line ends in a newline and holds fields decimal numbers
// (digits, perhaps a leading '-') separated by single spaces; otherwise -1.
FUZZ_CHECKER long count_lines_of_fields(std::string_view out, std::size_t fields) {
  long lines = 0;
  std::size_t spaces = 0;
  char last = '\n';  // the character before: a line starts as after a newline
  for (const char c : out) {
    if (c == '\n' || c == ' ') {
      if (last == '\n' || last == ' ') return -1;  // an empty line or field
      if (c == '\n') {
        if (spaces != fields - 1) return -1;
        spaces = 0;
        ++lines;
      } else {
        ++spaces;
      }
    } else if ((c < '0' || c > '9') && c != '-') {
      return -1;
    }
    last = c;
  }
  return last == '\n' ? lines : -1;
}

// Whether progress is "1\r2\r...N\r" for N lines.
FUZZ_CHECKER bool counts_up(std::string_view progress, unsigned long lines) {
  char number[24];  // a count (20 digits at most) and '\r'
  for (unsigned long i = 1; i <= lines; ++i) {
    char *const end = std::to_chars(number, number + sizeof number - 1, i).ptr;
    *end = '\r';
    const auto size = static_cast<std::size_t>(end + 1 - number);
    if (progress.substr(0, size) != std::string_view(number, size)) return false;
    progress.remove_prefix(size);
  }
  return progress.empty();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/) {
  fuzz_sampling = true;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  FuzzInput input(data, size);
  const std::vector<std::size_t> read_sizes = input.read_sizes();
  const uint16_t failing_read = input.u16();
  const Bytes bytes = fuzz_capture(input);
  const uint8_t *capture = bytes.data();
  const std::size_t capture_size = bytes.size();
  const FramerTally framed = framer_tally(capture, capture_size);
  const bool in_full = checked_in_full(data, size, 8);

  // The program whose failing run is checked, and the one whose chunked run is.
  const Program &failing_program = kPrograms[failing_read % 2];
  const Program &chunked_program = kPrograms[(failing_read + 1) % 2];
  for (const Program &program : kPrograms) {
    if (!in_full && &program != &failing_program) continue;
    MemorySource whole_in(capture, capture_size);
    const Listing whole = list(program, whole_in);
    FUZZ_REQUIRE(!whole.counts.read_failed);
    FUZZ_REQUIRE(whole.counts.lines == framed.packets[program.listed_type]);
    FUZZ_REQUIRE(whole.counts.packet_errors == static_cast<uint64_t>(framed.errors));
    const long lines = count_lines_of_fields(whole.out, program.fields);
    FUZZ_REQUIRE(lines >= 0 && static_cast<unsigned long>(lines) == whole.counts.lines);
    FUZZ_REQUIRE(counts_up(whole.progress, whole.counts.lines));

    if (!in_full) continue;
    if (&program == &chunked_program && !read_sizes.empty()) {
      MemorySource chunked_in(capture, capture_size, read_sizes);
      const Listing chunked = list(program, chunked_in);
      FUZZ_REQUIRE(!chunked.counts.read_failed && same_listing(chunked, whole));
    }

    if (failing_read == 0 || &program != &failing_program) continue;
    MemorySource failing_in(capture, capture_size, read_sizes, failing_read - 1u);
    const Listing failing = list(program, failing_in);
    FUZZ_REQUIRE(failing.counts.read_failed == (failing_in.reads() >= failing_read));
    if (failing_in.served() == capture_size) {
      FUZZ_REQUIRE(same_listing(failing, whole));
      continue;
    }
    MemorySource prefix_in(capture, failing_in.served());
    const Listing prefix = list(program, prefix_in);
    FUZZ_REQUIRE(same_listing(failing, prefix));
  }
  return 0;
}
