// capture_tables.h - one pass over a capture into NumPy arrays: the rows of each packet type, the
// packets rejected or cut off, and the --stats figures, found as capdump finds them.
#ifndef PYTHON_SRC_CAPTURE_TABLES_H
#define PYTHON_SRC_CAPTURE_TABLES_H

#include <pybind11/pybind11.h>

#include <bitset>

namespace pyproto {

// Reads source (see PythonSource) to its end with the GIL released and returns a tuple:
// {type: rows} for the types in keep that occur (record_rows.h), the rejected and cut-off
// packets as rows of offset (uint64) and reason (capdump's names, "unfinished" for a packet cut
// off at the end), and capdump --stats --format jsonl's object as text. With recover, packets are
// found as capdump --recover finds them. Raises the source's errors.
pybind11::tuple read_capture(const pybind11::handle &source, const std::bitset<256> &keep,
                             bool recover);

}  // namespace pyproto

#endif  // PYTHON_SRC_CAPTURE_TABLES_H
