#include "capdump/src/report_facts.h"

#include <protolib/catalogue.hpp>
#include <protolib/packet_form.hpp>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

namespace capdump {

namespace {

// A count with its thousands set apart by thin spaces.
std::string count(uint64_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, "&#8239;");
  return digits;
}

std::string share(uint64_t part, uint64_t whole) {
  if (whole == 0) return "";
  char text[16];
  std::snprintf(text, sizeof text, "%.2f%%",
                100.0 * static_cast<double>(part) / static_cast<double>(whole));
  return text;
}

std::string row(std::string_view label, const std::string &figure, const std::string &extra = "",
                const std::string &more = "") {
  return "<tr><td>" + std::string(label) + "</td><td>" + figure + "</td><td>" + extra + "</td>" +
         (more.empty() ? "" : "<td>" + more + "</td>") + "</tr>";
}

uint64_t sum(const auto &counts) {
  return std::accumulate(std::begin(counts), std::end(counts), uint64_t{0});
}

std::string seconds(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f&#160;s", value);
  return text;
}

// n packets as a rate: with a clock, n packets with a time per second of its duration; without,
// per MiB read.
std::string rate(const capture_pass::CaptureStats &stats, uint64_t n) {
  char text[48] = "";
  if (stats.clock) {
    const capture_pass::ClockFigures &clock = *stats.clock;
    const double duration = clock.first ? clock.last - *clock.first : 0;
    if (duration > 0) {
      std::snprintf(text, sizeof text, "%.3f&#160;Hz", static_cast<double>(n) / duration);
    }
  } else if (stats.bytes_read > 0) {
    std::snprintf(text, sizeof text, "%.1f&#160;/MiB",
                  static_cast<double>(n) * 1048576.0 / static_cast<double>(stats.bytes_read));
  }
  return text;
}

// The packets that are not exact, by form.
std::string not_exact_table(const capture_pass::CaptureStats &stats) {
  std::string html = "<table><tr><th colspan=\"3\">Packets not exact</th></tr>";
  uint64_t all = 0;
  for (std::size_t form = 0; form < protolib::kPacketForms; ++form) {
    const auto kind = static_cast<protolib::PacketForm>(form);
    if (kind == protolib::PacketForm::kExact) continue;
    uint64_t n = 0;
    for (const auto &by_form : stats.not_exact) n += by_form[form];
    all += n;
    std::string label(protolib::form_name(kind));
    std::replace(label.begin(), label.end(), '_', ' ');
    html += row(label, count(n));
  }
  return html + row("all", count(all)) + "</table>";
}

// What the clock tells: times, dropouts, resets.
std::string clock_table(const capture_pass::ClockFigures &clock) {
  std::string html = "<table><tr><th colspan=\"3\">Clock " + clock.name + "</th></tr>";
  if (!clock.first) return html + row("no clock packet", "") + "</table>";
  html += row("first time", seconds(*clock.first)) + row("last time", seconds(clock.last));
  html += row("duration", seconds(clock.last - *clock.first));
  html += row("median step", seconds(clock.gaps.median_step));
  html += row("dropouts", count(clock.gaps.gaps.size()),
              "longer than " + seconds(clock.gaps.threshold));
  html += row("time in dropouts", seconds(clock.gaps.covered));
  html += row("resets", count(clock.resets));
  html += "</table>";
  const std::vector<capture_pass::Gap> longest = capture_pass::longest_gaps(clock.gaps, 10);
  if (longest.empty()) return html;
  html += "<table><tr><th>Longest dropouts</th><th>from (s)</th><th>length (s)</th></tr>";
  for (std::size_t i = 0; i < longest.size(); ++i) {
    char from[32];
    char length[32];
    std::snprintf(from, sizeof from, "%.3f", longest[i].start - *clock.first);
    std::snprintf(length, sizeof length, "%.3f", longest[i].seconds);
    html += row(std::to_string(i + 1), from, length);
  }
  return html + "</table>";
}

}  // namespace

std::bitset<256> types_shown_alone(const capture_pass::CaptureStats &stats) {
  std::bitset<256> alone;
  const uint64_t packets = sum(stats.packets_by_type);
  for (std::size_t type = 0; type < 256; ++type) {
    const uint64_t n = stats.packets_by_type[type];
    alone[type] =
        n > 0 && (protolib::in_catalogue(static_cast<unsigned>(type)) || n * 100 >= packets);
  }
  return alone;
}

std::string report_facts(const capture_pass::CaptureStats &stats) {
  const uint64_t read = stats.bytes_read;
  const uint64_t cut = stats.unfinished ? stats.unfinished->received : 0;
  std::string html =
      "<h2>Facts</h2><div class=\"facts\"><table><tr><th colspan=\"3\">Bytes</th></tr>";
  html += row("read", count(read)) +
          row("in packets", count(stats.packet_bytes), share(stats.packet_bytes, read));
  html +=
      row("in rejected packets", count(stats.rejected_bytes), share(stats.rejected_bytes, read));
  html += row("noise", count(stats.noise_bytes), share(stats.noise_bytes, read));
  html += row("in an unfinished packet", count(cut), share(cut, read)) + "</table>";
  const uint64_t packets = sum(stats.packets_by_type);
  html += "<table><tr><th>Packets by type</th><th></th><th></th><th>" +
          std::string(stats.clock ? "rate" : "per MiB read") + "</th></tr>";
  const std::bitset<256> alone = types_shown_alone(stats);
  uint64_t others = 0;
  std::string other_list;
  for (std::size_t type = 0; type < 256; ++type) {
    const uint64_t n = stats.packets_by_type[type];
    if (alone[type]) {
      html += row("type " + std::to_string(type), count(n), share(n, packets),
                  rate(stats, stats.clock ? stats.clock->timed_by_type[type] : n));
    } else if (n > 0) {
      others += n;
      other_list +=
          (other_list.empty() ? "" : ", ") + std::to_string(type) + "&#160;(" + count(n) + ")";
    }
  }
  if (others > 0) {
    uint64_t timed = 0;
    for (std::size_t type = 0; type < 256; ++type) {
      if (!alone[type] && stats.clock) timed += stats.clock->timed_by_type[type];
    }
    html += row("other types", count(others), share(others, packets),
                rate(stats, stats.clock ? timed : others));
  }
  html += row("all", count(packets), "",
              rate(stats, stats.clock ? sum(stats.clock->timed_by_type) : packets));
  html += "</table>";
  if (stats.recovered) {
    html += "<table><tr><th colspan=\"2\">Recovery</th></tr>" +
            row("packets found inside rejected bytes and noise", count(*stats.recovered),
                "among the packets by type") +
            "</table>";
  }
  html += "<table><tr><th colspan=\"3\">Rejected packets</th></tr>";
  for (std::size_t i = 0; i < std::size(capture_pass::kReasonNames); ++i) {
    html += row(capture_pass::kReasonNames[i].label, count(stats.rejected_by_reason[i]));
  }
  html += row("all", count(sum(stats.rejected_by_reason)));
  html += row("unfinished packet at the end",
              stats.unfinished ? count(cut) + " bytes at " + count(stats.unfinished->offset)
                               : std::string("none"));
  html += "</table>" + not_exact_table(stats);
  if (stats.clock) html += clock_table(*stats.clock);
  html += "</div>";
  if (others > 0) {
    html +=
        "<details class=\"note\"><summary>Other types (packets): type bytes seen rarely, "
        "damaged ones for the most part</summary>" +
        other_list + ".</details>";
  }
  return html;
}

}  // namespace capdump
