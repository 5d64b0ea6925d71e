#include "python/src/table_sink.h"

#include <cmath>

namespace pyproto {

namespace {

// The byte at from[at], or -1 when it lies past the received bytes.
int16_t received_byte(const uint8_t *from, std::size_t received, std::size_t at) {
  return at < received ? int16_t{from[at]} : int16_t{-1};
}

}  // namespace

void TableSink::packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
                       bool recovered) {
  stats_.packet(event, packet, recovered);
  const uint8_t type = packet[0];
  if (!keep_[type]) return;
  const protolib::PacketForm form = protolib::packet_form(packet);
  const bool exact = form == protolib::PacketForm::kExact;
  const double time = now();
  if (!exact) malformed_.push_back({event.offset, time, type, packet[1], form, recovered});
  if (exact || keep_malformed_) {
    write_row(table_made(type).append(), which_, {event.offset, time, packet[1], form, recovered},
              packet);
  }
}

void TableSink::rejected(const capture_pass::FrameEvent &event, const uint8_t *packet) {
  stats_.rejected(event, packet);
  errors_.push_back(
      {event.offset, now(), capture_pass::reason_index(event.reason), packet[0], packet[1]});
}

void TableSink::unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) {
  stats_.unfinished(offset, sync_pair, received);
  errors_.push_back({offset, now(), kUnfinished, received_byte(sync_pair, received, 2),
                     received_byte(sync_pair, received, 3)});
}

GrowingTable &TableSink::table_made(uint8_t type) {
  std::optional<GrowingTable> &table = tables_[type];
  if (!table) table.emplace(row_size(type, which_));
  return *table;
}

double TableSink::now() const {
  return clock_ != nullptr && clock_->started() ? clock_->now() : NAN;
}

}  // namespace pyproto
