#include "capture_stats.h"

#include <cstdio>
#include <numeric>
#include <string_view>

namespace capdump {

namespace {

uint64_t total(const auto &counts) {
  return std::accumulate(std::begin(counts), std::end(counts), uint64_t{0});
}

void append_row(std::string &out, const std::string &label, uint64_t value) {
  char row[80];
  std::snprintf(row, sizeof row, "%-28s %14llu\n", label.c_str(),
                static_cast<unsigned long long>(value));
  out += row;
}

// Appends separator, then "key":value. Appended piece by piece: g++ -O3 warns falsely
// (-Wrestrict) on a chain of operator+ that starts with a literal.
void append_number(std::string &out, std::string_view separator, std::string_view key,
                   uint64_t value) {
  out.append(separator).append("\"").append(key).append("\":").append(std::to_string(value));
}

}  // namespace

StatsSink::StatsSink(bool recovery) {
  if (recovery) stats_.recovered = 0;
}

void StatsSink::packet(const FrameEvent &event, const uint8_t *packet, bool recovered) {
  ++stats_.packets_by_type[packet[0]];
  if (recovered) {
    ++*stats_.recovered;
  } else {
    stats_.packet_bytes += static_cast<uint64_t>(event.size);
  }
}

void StatsSink::rejected(const FrameEvent &event, const uint8_t *) {
  ++stats_.rejected_by_reason[reason_index(event.reason)];
  stats_.rejected_bytes += static_cast<uint64_t>(event.size);
}

void StatsSink::unfinished(uint64_t offset, const uint8_t *, std::size_t received) {
  stats_.unfinished = CutPacket{offset, received};
}

CaptureStats StatsSink::stats(const PassTotals &totals) const {
  CaptureStats stats = stats_;
  stats.bytes_read = totals.bytes;
  stats.noise_bytes = totals.noise_bytes;
  return stats;
}

std::string stats_table(const CaptureStats &stats) {
  std::string out;
  append_row(out, "bytes read", stats.bytes_read);
  append_row(out, "  in packets", stats.packet_bytes);
  append_row(out, "  in rejected packets", stats.rejected_bytes);
  append_row(out, "  noise", stats.noise_bytes);
  append_row(out, "  in an unfinished packet", stats.unfinished ? stats.unfinished->received : 0);
  append_row(out, "packets", total(stats.packets_by_type));
  for (std::size_t type = 0; type < stats.packets_by_type.size(); ++type) {
    const uint64_t count = stats.packets_by_type[type];
    if (count > 0) append_row(out, "  type " + std::to_string(type), count);
  }
  if (stats.recovered) append_row(out, "  recovered", *stats.recovered);
  append_row(out, "rejected packets", total(stats.rejected_by_reason));
  for (std::size_t i = 0; i < std::size(kReasonNames); ++i) {
    append_row(out, "  " + std::string(kReasonNames[i].label), stats.rejected_by_reason[i]);
  }
  out += "unfinished packet            ";
  out += stats.unfinished ? std::to_string(stats.unfinished->received) + " bytes at offset " +
                                std::to_string(stats.unfinished->offset) + "\n"
                          : "none\n";
  return out;
}

std::string stats_json(const CaptureStats &stats) {
  std::string out;
  append_number(out, "{", "bytes_read", stats.bytes_read);
  append_number(out, ",", "packet_bytes", stats.packet_bytes);
  append_number(out, ",", "rejected_bytes", stats.rejected_bytes);
  append_number(out, ",", "noise_bytes", stats.noise_bytes);
  append_number(out, ",", "unfinished_bytes", stats.unfinished ? stats.unfinished->received : 0);
  append_number(out, ",", "packets", total(stats.packets_by_type));
  out += ",\"packets_by_type\":{";
  const char *separator = "";
  for (std::size_t type = 0; type < stats.packets_by_type.size(); ++type) {
    if (stats.packets_by_type[type] == 0) continue;
    append_number(out, separator, std::to_string(type), stats.packets_by_type[type]);
    separator = ",";
  }
  out += "}";
  if (stats.recovered) append_number(out, ",", "recovered", *stats.recovered);
  append_number(out, ",", "rejected", total(stats.rejected_by_reason));
  out += ",\"rejected_by_reason\":{";
  for (std::size_t i = 0; i < std::size(kReasonNames); ++i) {
    append_number(out, i > 0 ? "," : "", kReasonNames[i].key, stats.rejected_by_reason[i]);
  }
  out += "},\"unfinished\":";
  if (stats.unfinished) {
    append_number(out, "{", "offset", stats.unfinished->offset);
    append_number(out, ",", "received", stats.unfinished->received);
    out += "}";
  } else {
    out += "null";
  }
  return out + "}\n";
}

}  // namespace capdump
