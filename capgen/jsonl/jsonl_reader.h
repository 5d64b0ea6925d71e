// jsonl_reader.h - capgen --from-jsonl: a capture made from capdump's JSON Lines, one packet an
// object, so a listing can be edited or written by hand and turned back into a capture.
#ifndef CAPGEN_SRC_JSONL_READER_H
#define CAPGEN_SRC_JSONL_READER_H

#include <cstddef>
#include <string>
#include <string_view>

#include "capgen/output/sink.h"
#include "io/byte_io.h"
#include "io/output_buffer.h"

namespace capgen {

// The longest line read, '\n' not counted: 1 MiB, far above the few kilobytes of the longest
// packet object.
inline constexpr std::size_t kMaxJsonLine = std::size_t{1} << 20;

// Reads JSON Lines from in, one object a line, and hands the packets they describe (see
// packet_from_json) to out, back to back, leaving the last of them for the caller to flush. Blank
// lines and objects with an "error" key (capdump's reports of damaged packets) are skipped. Returns
// empty, or a message: "NAME:LINE: what is wrong" for the first line that is no packet (a line
// longer than kMaxJsonLine among them, which is never held in memory; the packets before it are
// handed over), or "cannot read SHOWN: REASON" when in failed. Input shown in a message is cut down
// to an input_excerpt. Stops early when out fails. Throws nothing but std::bad_alloc.
std::string packets_from_jsonl(io::ByteSource &in, std::string_view name, std::string_view shown,
                               io::OutputBuffer &out);

// The same packets handed to sink, all of them.
inline std::string packets_from_jsonl(io::ByteSource &in, std::string_view name,
                                      std::string_view shown, const Sink &sink) {
  return write_through(
      sink, [&](io::OutputBuffer &out) { return packets_from_jsonl(in, name, shown, out); });
}

}  // namespace capgen

#endif  // CAPGEN_SRC_JSONL_READER_H
