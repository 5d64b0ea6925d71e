// capgen's JSON Lines reader (packets_from_jsonl) over arbitrary text read in pieces the input
// chooses, in process with memory input.
//
// Input: a count byte and that many u16 read sizes (1 + n bytes, used in turn); a u16 failing
// read (0: none; n: read number n - 1 and every later one fail); then the text.
//
// Promises checked:
// - no exception escapes; the result is packets and no message, or packets and one message:
//   "in:LINE: ..." or "cannot read 'in': ..."; a message is printable ASCII of bounded length;
// - the packets written frame back, every byte of them, with no rejection;
// - reads of the chosen sizes give the same packets and message as reads of any size;
// - a run whose read fails has written a prefix of the packets of a run without failure and
//   reports the failure; a run that stops before the failing read is the run without failure.
#include <protolib/decoder.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "capgen/jsonl/input_excerpt.h"
#include "capgen/jsonl/jsonl_reader.h"
#include "fuzz/fuzz_capture.h"
#include "testing/memory_io.h"
#include "testing/test_packets.h"

namespace {

// Longer than any message: a line number and the wording of a message (under 256 bytes) with
// one input excerpt, each of whose bytes may be written as four ("\xNN"), and "...".
constexpr std::size_t kMaxMessage = 256 + 4 * capgen::kExcerptLength + 3;
const std::string_view kReadFailure = "cannot read 'in': ";

struct Read {
  Bytes bytes;
  std::string error;
};

Read read_jsonl(MemorySource &in) {
  Read read;
  try {
    read.error =
        capgen::packets_from_jsonl(in, "in", "'in'", [&read](const uint8_t *data, std::size_t n) {
          read.bytes.insert(read.bytes.end(), data, data + n);
          return true;
        });
  } catch (...) {
    fuzz_failed("an exception escaped packets_from_jsonl", __FILE__, __LINE__);
  }
  return read;
}

bool is_clean_message(std::string_view error) {
  return error.size() <= kMaxMessage &&
         std::all_of(error.begin(), error.end(), [](char c) { return c >= 0x20 && c < 0x7F; }) &&
         (error.empty() || error.starts_with("in:") || error.starts_with(kReadFailure));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  FuzzInput input(data, size);
  const std::vector<std::size_t> read_sizes = input.read_sizes();
  const uint16_t failing_read = input.u16();
  const uint8_t *text = input.rest();
  const std::size_t text_size = input.rest_size();

  MemorySource whole_in(text, text_size);
  const Read whole = read_jsonl(whole_in);
  FUZZ_REQUIRE(is_clean_message(whole.error) && !whole.error.starts_with(kReadFailure));
  // Accepted packets that cover every byte are those bytes exactly (accepted_packets' promise).
  FUZZ_REQUIRE(framer_tally(whole.bytes.data(), whole.bytes.size()).packet_bytes ==
               whole.bytes.size());

  MemorySource pieces_in(text, text_size, read_sizes);
  const Read pieces = read_jsonl(pieces_in);
  FUZZ_REQUIRE(pieces.bytes == whole.bytes && pieces.error == whole.error);

  if (failing_read == 0) return 0;
  MemorySource failing_in(text, text_size, read_sizes, failing_read - 1u);
  const Read failing = read_jsonl(failing_in);
  FUZZ_REQUIRE(is_clean_message(failing.error));
  FUZZ_REQUIRE(failing.bytes.size() <= whole.bytes.size() &&
               std::equal(failing.bytes.begin(), failing.bytes.end(), whole.bytes.begin()));
  const bool failure_reached = failing_in.reads() >= failing_read;
  FUZZ_REQUIRE(failure_reached ? failing.error.starts_with(kReadFailure)
                               : failing.error == whole.error && failing.bytes == whole.bytes);
  return 0;
}
