// The Python package's read without the interpreter: TableSink (python/src/table_sink.h) over
// capdump's dump pass, building the rows of each kept type, the list of packets that are not
// exact and the list of errors, against the same pass's events recorded as they come.
//
// Input: a flags byte (bit 0: recovery, bit 1: the clock 1.uword:ms, bit 2: rows for packets
// that are not exact too, bit 3: every type kept); unless every type is kept, 32 bytes naming the
// kept types (bit t % 8 of byte t / 8); then the capture as fuzz_capture reads it.
//
// Promises checked:
// - the packets the pass finds without recovery's help are, type by type, those the library's
//   framer accepts;
// - each kept type has a table exactly when it has rows: one row per kept packet (the exact ones
//   unless rows for the others are asked for), in order, each of row_size bytes: the offset,
//   with a clock the time (NaN before the clock's first packet), the length, whether exact, with
//   recovery whether recovered, then for a catalogue type the fields the library's decode
//   routine makes of the payload followed by zero bytes, for any other type the payload and
//   zero bytes up to 255;
// - the list of packets not exact holds every kept packet that is not, in order, with its
//   offset, time, type, length, form and recovered flag;
// - the list of errors holds every rejected packet and the packet cut off at the end, in order,
//   with its offset, time, reason, and type and length bytes when received (-1 when not);
// - the --stats bytes add up to the bytes read, which are the capture's.
#include <protolib/catalogue.hpp>

#include <bit>
#include <bitset>
#include <cmath>
#include <cstring>
#include <vector>

#include "capture_pass/reason_names.h"
#include "fuzz/field_bytes.h"
#include "fuzz/fuzz_capture.h"
#include "fuzz/fuzz_pass.h"
#include "fuzz/tee_sink.h"
#include "python/src/table_sink.h"
#include "testing/memory_io.h"

namespace {

using capture_pass::FrameEvent;

// An event of the pass as it came: a packet (type, length, payload), a rejection or the
// packet cut off at the end.
struct Event {
  enum Kind { kPacket, kRejected, kUnfinished } kind;
  uint64_t offset;
  double time;  // NaN before the clock's first packet, and without a clock
  Bytes bytes;  // a packet's type, length and payload; a rejection's or cut-off's type and
                // length bytes as received (none, one or two of them)
  bool recovered = false;
  std::size_t reason = 0;  // of a rejection: its place in kReasonNames
};

// Records every event with the time the clock shows when it comes.
class Recorder final : public capture_pass::EventSink {
 public:
  explicit Recorder(const capture_pass::PacketClock *clock) : clock_(clock) {}

  void packet(const FrameEvent &event, const uint8_t *packet, bool recovered) override {
    events.push_back(
        {Event::kPacket, event.offset, now(), Bytes(packet, packet + 2 + packet[1]), recovered});
  }
  void rejected(const FrameEvent &event, const uint8_t *packet) override {
    events.push_back({Event::kRejected, event.offset, now(), Bytes(packet, packet + 2), false,
                      capture_pass::reason_index(event.reason)});
  }
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override {
    const std::size_t shown = std::min<std::size_t>(received, 4);
    events.push_back(
        {Event::kUnfinished, offset, now(), Bytes(sync_pair + 2, sync_pair + shown), false});
  }
  bool failed() const override { return false; }

  std::vector<Event> events;

 private:
  double now() const { return clock_ != nullptr && clock_->started() ? clock_->now() : NAN; }
  const capture_pass::PacketClock *clock_;
};

bool same_time(double a, double b) {
  return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b) ||
         (std::isnan(a) && std::isnan(b));
}

// The bytes after the head of packet's row: decoded fields, or the payload and zero bytes.
Bytes row_fields(const Bytes &packet) {
  uint8_t padded[1 + WIRE_MAX_PAYLOAD] = {};
  std::memcpy(padded, packet.data() + 1, packet.size() - 1);
  Bytes fields;
  const bool catalogue = protolib::visit_catalogue_type(packet[0], [&](auto kind) {
    using Record = typename decltype(kind)::Record;
    Record record{};
    protolib::Layout<Record>::kDecode(&record, padded);
    fields = field_bytes(record);
  });
  if (!catalogue) fields.assign(padded + 1, padded + 1 + WIRE_MAX_PAYLOAD);
  return fields;
}

// Reads a row's values in order.
class RowReader {
 public:
  explicit RowReader(const uint8_t *row) : at_(row) {}
  template <typename Value>
  Value next() {
    Value value;
    std::memcpy(&value, at_, sizeof value);
    at_ += sizeof value;
    return value;
  }
  const uint8_t *at() const { return at_; }

 private:
  const uint8_t *at_;
};

// The rows of one kept type hold its kept packets, in order.
void check_table(pyproto::TableSink &sink, uint8_t type, const std::vector<const Event *> &rows) {
  const pyproto::GrowingTable *table = sink.table(type);
  FUZZ_REQUIRE((table != nullptr) == !rows.empty());
  if (table == nullptr) return;
  const pyproto::HeadColumns which = sink.which();
  const std::size_t row_size = pyproto::row_size(type, which);
  FUZZ_REQUIRE(table->rows() == rows.size() && table->row_size() == row_size);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Event &event = *rows[i];
    RowReader row(table->data() + i * row_size);
    FUZZ_REQUIRE(row.next<uint64_t>() == event.offset);
    FUZZ_REQUIRE(!which.time || same_time(row.next<double>(), event.time));
    FUZZ_REQUIRE(row.next<uint8_t>() == event.bytes[1]);
    FUZZ_REQUIRE(row.next<bool>() ==
                 (protolib::packet_form(event.bytes.data()) == protolib::PacketForm::kExact));
    FUZZ_REQUIRE(!which.recovered || row.next<bool>() == event.recovered);
    const Bytes fields = row_fields(event.bytes);
    const auto head = static_cast<std::size_t>(row.at() - (table->data() + i * row_size));
    FUZZ_REQUIRE(head + fields.size() == row_size);
    FUZZ_REQUIRE(std::memcmp(row.at(), fields.data(), fields.size()) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  FuzzInput input(data, size);
  const auto [flags, recover, timed] = pass_flags(input);
  const bool keep_malformed = (flags & 4) != 0;
  std::bitset<256> keep;
  if ((flags & 8) != 0) {
    keep.set();
  } else {
    for (std::size_t byte = 0; byte < 32; ++byte) {
      const uint8_t bits = input.byte();
      for (std::size_t bit = 0; bit < 8; ++bit) keep[8 * byte + bit] = (bits >> bit & 1) != 0;
    }
  }
  const Bytes capture = fuzz_capture(input);

  PassClock clock(timed);
  pyproto::TableSink sink(keep, keep_malformed, recover, clock.clock(), clock.steps());
  Recorder recorder(clock.clock());
  TeeSink both(sink, recorder);
  MemorySource in(capture.data(), capture.size());
  const capture_pass::PassTotals totals = clock.run(in, recover, both);
  FUZZ_REQUIRE(!totals.read_failed && totals.bytes == capture.size());

  const FramerTally framed = framer_tally(capture.data(), capture.size());
  std::array<uint64_t, 256> standard{};
  std::array<std::vector<const Event *>, 256> rows;
  std::vector<const Event *> malformed;
  std::vector<const Event *> errors;
  for (const Event &event : recorder.events) {
    if (event.kind != Event::kPacket) {
      errors.push_back(&event);
      continue;
    }
    const uint8_t type = event.bytes[0];
    if (!event.recovered) ++standard[type];
    if (!keep[type]) continue;
    const bool exact = protolib::packet_form(event.bytes.data()) == protolib::PacketForm::kExact;
    if (!exact) malformed.push_back(&event);
    if (exact || keep_malformed) rows[type].push_back(&event);
  }
  FUZZ_REQUIRE(standard == framed.packets);
  for (unsigned type = 0; type < 256; ++type) {
    check_table(sink, static_cast<uint8_t>(type), rows[type]);
  }

  FUZZ_REQUIRE(sink.malformed().size() == malformed.size());
  for (std::size_t i = 0; i < malformed.size(); ++i) {
    const pyproto::MalformedRow &row = sink.malformed()[i];
    const Event &event = *malformed[i];
    FUZZ_REQUIRE(row.offset == event.offset && same_time(row.time, event.time) &&
                 row.type == event.bytes[0] && row.length == event.bytes[1] &&
                 row.form == protolib::packet_form(event.bytes.data()) &&
                 row.recovered == event.recovered);
  }
  FUZZ_REQUIRE(sink.errors().size() == errors.size());
  for (std::size_t i = 0; i < errors.size(); ++i) {
    const pyproto::ErrorRow &row = sink.errors()[i];
    const Event &event = *errors[i];
    const std::size_t reason = event.kind == Event::kRejected ? event.reason : pyproto::kUnfinished;
    const int received = static_cast<int>(event.bytes.size());
    FUZZ_REQUIRE(row.offset == event.offset && same_time(row.time, event.time) &&
                 row.reason == reason && row.type == (received > 0 ? event.bytes[0] : -1) &&
                 row.length == (received > 1 ? event.bytes[1] : -1));
  }

  FUZZ_REQUIRE(stats_add_up(sink.stats().stats(totals), capture.size()));
  return 0;
}
