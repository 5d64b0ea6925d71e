// csv_table.h - capdump's CSV: the packets of one catalogue type as a table for spreadsheets.
//
// A header row of column names, then a row a packet: offset, with a clock time (the seconds it
// shows, empty before it started), length, form (exact, short, long, over_capacity), with
// recovery a recovered column (0 or 1), the record's fields a column each, arrays and entries a
// column an element (words_0 ... words_8, entries_0_bytes_0 ... entries_15_value), and last
// payload: the payload in hexadecimal when the packet is not exact, else empty. Entries past the
// count are empty cells. NaN and infinite values print as nan, inf and -inf; the JSON Lines keep
// their bit patterns.
#ifndef CAPDUMP_SRC_CSV_TABLE_H
#define CAPDUMP_SRC_CSV_TABLE_H

#include <cstddef>
#include <cstdint>

#include "capdump/src/line_room.h"
#include "capdump/src/time_text.h"
#include "capture_pass/dump_pass.h"
#include "capture_pass/packet_clock.h"
#include "io/output_buffer.h"

namespace capdump {

class CsvSink final : public capture_pass::EventSink {
 public:
  // Writes the header row for type, which must be a catalogue type. recovered_column: add the
  // recovered column, for a pass with recovery. clock: the clock of the time column, or null
  // for none.
  CsvSink(io::OutputBuffer &out, uint8_t type, bool recovered_column,
          const capture_pass::PacketClock *clock = nullptr);

  // Writes a row for a packet of the sink's type; ignores others.
  void packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
              bool recovered) override;
  void rejected(const capture_pass::FrameEvent &, const uint8_t *) override {}
  void unfinished(uint64_t, const uint8_t *, std::size_t) override {}
  bool failed() const override { return out_.failed(); }

 private:
  static constexpr std::size_t kMaxRow = kCsvRowRoom;
  static_assert(kMaxRow <= io::OutputBuffer::kCapacity, "the longest line fits the buffer");

  io::OutputBuffer &out_;
  uint8_t type_;
  bool recovered_column_;
  const capture_pass::PacketClock *clock_;
  TimeText time_;
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_CSV_TABLE_H
