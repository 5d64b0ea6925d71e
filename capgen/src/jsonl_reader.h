// jsonl_reader.h - capgen --from-jsonl: a capture made from capdump's JSON Lines, one packet an
// object, so a listing can be edited or written by hand and turned back into a capture.
#ifndef CAPGEN_SRC_JSONL_READER_H
#define CAPGEN_SRC_JSONL_READER_H

#include <istream>
#include <string>
#include <string_view>

#include "block_output.h"

namespace capgen {

// Reads JSON Lines from in, one object a line, and hands the packets they describe (see
// packet_from_json) to sink in large blocks, back to back. Blank lines and objects with an
// "error" key (capdump's reports of damaged packets) are skipped. Returns empty, or a message:
// "NAME:LINE: what is wrong" for the first line that is no packet (the packets before it are
// handed over), or that in could not be read. Stops early when the sink fails.
std::string packets_from_jsonl(std::istream &in, std::string_view name, const Sink &sink);

}  // namespace capgen

#endif  // CAPGEN_SRC_JSONL_READER_H
