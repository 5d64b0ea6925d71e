// capture_tables.h - one pass over a capture into NumPy arrays: the rows of each packet type,
// the packets that are not exact, the packets rejected or cut off, the clock's gaps and the
// --stats figures, found as capdump finds them.
#ifndef PYTHON_SRC_CAPTURE_TABLES_H
#define PYTHON_SRC_CAPTURE_TABLES_H

#include <pybind11/pybind11.h>

#include <bitset>
#include <optional>

#include "capture_pass/packet_clock.h"

namespace pyproto {

struct ReadOptions {
  std::bitset<256> keep;                          // the types whose packets are listed
  bool recover = false;                           // find packets as capdump --recover finds them
  bool keep_malformed = false;                    // rows for the packets that are not exact too
  std::optional<capture_pass::NamedClock> clock;  // time every row by this clock
  std::optional<double> gap;  // with a clock: a longer step is a gap (default: five median steps)
};

// Reads source (see PythonSource) to its end with the GIL released and returns a tuple:
// {type: rows} for the kept types that have rows (record_rows.h; exact packets only unless
// keep_malformed), the kept packets that are not exact, the rejected and cut-off packets, the
// clock's gaps (capture_lists.h; empty without a clock), and capdump --stats --format jsonl's
// object as text (with the clock and gap given as --clock and --gap). Raises the source's
// errors.
pybind11::tuple read_capture(const pybind11::handle &source, const ReadOptions &options);

}  // namespace pyproto

#endif  // PYTHON_SRC_CAPTURE_TABLES_H
