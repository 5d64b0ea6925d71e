#include "capture_pass/capture_stats.h"

#include <protolib/catalogue.hpp>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <numeric>
#include <string_view>

namespace capture_pass {

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

constexpr std::size_t kLongestGaps = 10;

// seconds in its shortest exact form.
std::string seconds_text(double seconds) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, seconds).ptr);
}

void append_text_row(std::string &out, const std::string &label, const std::string &value) {
  char row[120];
  std::snprintf(row, sizeof row, "%-28s %14s\n", label.c_str(), value.c_str());
  out += row;
}

// Appends separator, then "key":value with value a number of seconds.
void append_seconds(std::string &out, std::string_view separator, std::string_view key,
                    double value) {
  out.append(separator).append("\"").append(key).append("\":").append(seconds_text(value));
}

uint64_t count_not_exact(const CaptureStats &stats) {
  uint64_t count = 0;
  for (const auto &forms : stats.not_exact) count += total(forms);
  return count;
}

void append_clock_table(std::string &out, const ClockFigures &clock) {
  append_text_row(out, "clock", clock.name);
  if (!clock.first) {
    out += "  no clock packet\n";
    return;
  }
  const double duration = clock.last - *clock.first;
  append_text_row(out, "  first time (s)", seconds_text(*clock.first));
  append_text_row(out, "  last time (s)", seconds_text(clock.last));
  append_text_row(out, "  duration (s)", seconds_text(duration));
  append_row(out, "  packets with a time", total(clock.timed_by_type));
  const auto append_rate = [&](const std::string &label, uint64_t count) {
    char rate[48] = "";
    if (duration > 0) {
      std::snprintf(rate, sizeof rate, "  %12.3f Hz", static_cast<double>(count) / duration);
    }
    char row[120];
    std::snprintf(row, sizeof row, "%-28s %14llu%s\n", label.c_str(),
                  static_cast<unsigned long long>(count), rate);
    out += row;
  };
  uint64_t others = 0;
  for (std::size_t type = 0; type < clock.timed_by_type.size(); ++type) {
    const uint64_t count = clock.timed_by_type[type];
    if (!protolib::in_catalogue(static_cast<unsigned>(type))) {
      others += count;
    } else if (count > 0) {
      append_rate("    type " + std::to_string(type), count);
    }
  }
  if (others > 0) append_rate("    types outside catalogue", others);
  append_row(out, "  clock steps", clock.gaps.steps);
  append_text_row(out, "  median step (s)", seconds_text(clock.gaps.median_step));
  append_text_row(out, "  gap threshold (s)", seconds_text(clock.gaps.threshold));
  append_row(out, "  gaps", clock.gaps.gaps.size());
  append_text_row(out, "    time in gaps (s)", seconds_text(clock.gaps.covered));
  for (const Gap &gap : longest_gaps(clock.gaps, kLongestGaps)) {
    out += "    " + seconds_text(gap.seconds) + " s from " + seconds_text(gap.start) +
           " s, ending at offset " + std::to_string(gap.offset) + "\n";
  }
  append_row(out, "  resets", clock.resets);
}

void append_clock_json(std::string &out, const ClockFigures &clock) {
  out.append(",\"clock\":{\"name\":\"").append(clock.name).append("\"");
  if (!clock.first) {
    out += ",\"first\":null,\"last\":null,\"duration\":null";
  } else {
    append_seconds(out, ",", "first", *clock.first);
    append_seconds(out, ",", "last", clock.last);
    append_seconds(out, ",", "duration", clock.last - *clock.first);
  }
  const double duration = clock.first ? clock.last - *clock.first : 0;
  out += ",\"rate_by_type\":{";
  const char *separator = "";
  for (std::size_t type = 0; type < clock.timed_by_type.size(); ++type) {
    const uint64_t count = clock.timed_by_type[type];
    if (count == 0 || duration <= 0) continue;
    append_seconds(out, separator, std::to_string(type), static_cast<double>(count) / duration);
    separator = ",";
  }
  out += "}";
  append_number(out, ",", "steps", clock.gaps.steps);
  append_seconds(out, ",", "median_step", clock.gaps.median_step);
  append_seconds(out, ",", "gap_threshold", clock.gaps.threshold);
  append_number(out, ",", "gaps", clock.gaps.gaps.size());
  append_seconds(out, ",", "gap_seconds", clock.gaps.covered);
  out += ",\"longest_gaps\":[";
  separator = "";
  for (const Gap &gap : longest_gaps(clock.gaps, kLongestGaps)) {
    out.append(separator).append("{\"offset\":").append(std::to_string(gap.offset));
    append_seconds(out, ",", "time", gap.start);
    append_seconds(out, ",", "seconds", gap.seconds);
    out += "}";
    separator = ",";
  }
  out += "]";
  append_number(out, ",", "resets", clock.resets);
  out += "}";
}

}  // namespace

StatsSink::StatsSink(bool recovery, const PacketClock *clock, const ClockSteps *steps)
    : clock_(clock), steps_(steps) {
  if (recovery) stats_.recovered = 0;
}

void StatsSink::packet(const FrameEvent &event, const uint8_t *packet, bool recovered) {
  ++stats_.packets_by_type[packet[0]];
  const protolib::PacketForm form = protolib::packet_form(packet);
  if (form != protolib::PacketForm::kExact) {
    ++stats_.not_exact[packet[0]][static_cast<std::size_t>(form)];
  }
  if (clock_ != nullptr && clock_->started()) {
    if (!stats_.clock) stats_.clock.emplace();
    ++stats_.clock->timed_by_type[packet[0]];
  }
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

CaptureStats StatsSink::stats(const PassTotals &totals, std::optional<double> gap) const {
  CaptureStats stats = stats_;
  stats.bytes_read = totals.bytes;
  stats.noise_bytes = totals.noise_bytes;
  if (clock_ != nullptr) {
    if (!stats.clock) stats.clock.emplace();
    ClockFigures &figures = *stats.clock;
    const PacketClock &clock = *clock_;
    figures.name = clock.named().name;
    if (clock.started()) {
      figures.first = clock.first();
      figures.last = clock.now();
    }
    figures.resets = clock.resets();
    if (steps_ != nullptr) figures.gaps = steps_->summary(gap, clock.named());
  }
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
  append_row(out, "packets not exact", count_not_exact(stats));
  uint64_t unknown = 0;
  for (std::size_t type = 0; type < stats.not_exact.size(); ++type) {
    unknown += stats.not_exact[type][static_cast<std::size_t>(protolib::PacketForm::kUnknown)];
    for (std::size_t form = 0; form < protolib::kPacketForms; ++form) {
      const auto kind = static_cast<protolib::PacketForm>(form);
      if (stats.not_exact[type][form] == 0 || kind == protolib::PacketForm::kUnknown) continue;
      std::string name(protolib::form_name(kind));
      std::replace(name.begin(), name.end(), '_', ' ');
      append_row(out, "  type " + std::to_string(type) + " " + name, stats.not_exact[type][form]);
    }
  }
  if (unknown > 0) append_row(out, "  types outside catalogue", unknown);
  append_row(out, "rejected packets", total(stats.rejected_by_reason));
  for (std::size_t i = 0; i < std::size(kReasonNames); ++i) {
    append_row(out, "  " + std::string(kReasonNames[i].label), stats.rejected_by_reason[i]);
  }
  out += "unfinished packet            ";
  out += stats.unfinished ? std::to_string(stats.unfinished->received) + " bytes at offset " +
                                std::to_string(stats.unfinished->offset) + "\n"
                          : "none\n";
  if (stats.clock) append_clock_table(out, *stats.clock);
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
  append_number(out, ",", "not_exact", count_not_exact(stats));
  out += ",\"not_exact_by_type\":{";
  separator = "";
  for (std::size_t type = 0; type < stats.not_exact.size(); ++type) {
    if (total(stats.not_exact[type]) == 0) continue;
    out.append(separator).append("\"").append(std::to_string(type)).append("\":");
    const char *form_separator = "{";
    for (std::size_t form = 0; form < protolib::kPacketForms; ++form) {
      if (stats.not_exact[type][form] == 0) continue;
      append_number(out, form_separator,
                    protolib::form_name(static_cast<protolib::PacketForm>(form)),
                    stats.not_exact[type][form]);
      form_separator = ",";
    }
    out += "}";
    separator = ",";
  }
  out += "}";
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
  if (stats.clock) append_clock_json(out, *stats.clock);
  return out + "}\n";
}

}  // namespace capture_pass
