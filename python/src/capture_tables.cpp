#include "capture_tables.h"

#include <pybind11/numpy.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "capture_stats.h"
#include "dump_pass.h"
#include "growing_table.h"
#include "python_source.h"
#include "reason_names.h"
#include "record_rows.h"

namespace py = pybind11;

namespace pyproto {

namespace {

// The reasons an error row may name: capdump's rejection reasons, then the cut-off packet.
constexpr std::size_t kUnfinished = std::size(capdump::kReasonNames);
constexpr std::string_view kUnfinishedName = "unfinished";

std::string_view reason_key(std::size_t reason) {
  return reason == kUnfinished ? kUnfinishedName : capdump::kReasonNames[reason].key;
}

struct ErrorRow {
  uint64_t offset;
  std::size_t reason;  // an index of kReasonNames, or kUnfinished
};

// Appends the packets of the kept types to their tables and every error to a list, and counts
// everything for the stats.
class TableSink final : public capdump::EventSink {
 public:
  TableSink(const std::bitset<256> &keep, bool recover) : keep_(keep), stats_(recover) {}

  void packet(const capdump::FrameEvent &event, const uint8_t *packet, bool recovered) override {
    stats_.packet(event, packet, recovered);
    if (keep_[packet[0]]) write_row(table(packet[0]).append(), event.offset, packet);
  }
  void rejected(const capdump::FrameEvent &event, const uint8_t *packet) override {
    stats_.rejected(event, packet);
    errors_.push_back({event.offset, capdump::reason_index(event.reason)});
  }
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override {
    stats_.unfinished(offset, sync_pair, received);
    errors_.push_back({offset, kUnfinished});
  }
  bool failed() const override { return false; }

  // With the GIL held: {type: rows} for the types that occur. Leaves the tables empty.
  py::dict release_tables() {
    py::dict arrays;
    for (std::size_t type = 0; type < tables_.size(); ++type) {
      if (tables_[type]) {
        arrays[py::int_(type)] = tables_[type]->release(row_dtype(static_cast<unsigned>(type)));
      }
    }
    return arrays;
  }
  py::array errors() const;
  const capdump::StatsSink &stats() const { return stats_; }

 private:
  GrowingTable &table(uint8_t type) {
    std::optional<GrowingTable> &table = tables_[type];
    if (!table) table.emplace(row_size(type));
    return *table;
  }

  std::bitset<256> keep_;
  capdump::StatsSink stats_;
  std::array<std::optional<GrowingTable>, 256> tables_;
  std::vector<ErrorRow> errors_;
};

py::array TableSink::errors() const {
  std::size_t width = kUnfinishedName.size();
  for (const capdump::ReasonName &name : capdump::kReasonNames) {
    width = std::max(width, name.key.size());
  }
  py::list fields;
  fields.append(py::make_tuple("offset", py::dtype::of<uint64_t>()));
  fields.append(py::make_tuple("reason", py::dtype("U" + std::to_string(width))));
  const py::dtype dtype = py::dtype::from_args(fields);
  py::array rows(dtype, {static_cast<py::ssize_t>(errors_.size())}, {});
  auto *out = static_cast<uint8_t *>(rows.mutable_data());
  for (const ErrorRow &error : errors_) {
    std::memcpy(out, &error.offset, sizeof error.offset);
    uint8_t *reason = out + sizeof error.offset;
    std::memset(reason, 0, width * sizeof(uint32_t));
    const std::string_view key = reason_key(error.reason);
    for (std::size_t i = 0; i < key.size(); ++i) {
      const uint32_t code = static_cast<unsigned char>(key[i]);  // the names are ASCII
      std::memcpy(reason + i * sizeof code, &code, sizeof code);
    }
    out += dtype.itemsize();
  }
  return rows;
}

}  // namespace

py::tuple read_capture(const py::handle &source, const std::bitset<256> &keep, bool recover) {
  PythonSource in(source);
  TableSink sink(keep, recover);
  capdump::PassTotals totals;
  {
    const py::gil_scoped_release released;
    totals = capdump::dump_pass(in.bytes(), recover, sink);
  }
  if (totals.read_failed) in.raise_read_error();
  const std::string stats = capdump::stats_json(sink.stats().stats(totals));
  return py::make_tuple(sink.release_tables(), sink.errors(), py::str(stats));
}

}  // namespace pyproto
