// The --verbose report, one figure per line, aligned for reading.
#include "capgen/recording/report.h"

#include <protolib/catalogue.hpp>

#include <cstdio>

namespace capgen {

namespace {

void append_line(std::string &out, const std::string &label, uint64_t value) {
  char line[64];
  std::snprintf(line, sizeof line, "  %-14s %12llu\n", label.c_str(),
                static_cast<unsigned long long>(value));
  out += line;
}

}  // namespace

std::string format_report(const CaptureStats &stats) {
  std::string out = "packets by type:\n";
  uint64_t whole = 0;
  uint64_t uncatalogued = 0;
  for (std::size_t type = 0; type < stats.packets_by_type.size(); ++type) {
    const uint64_t count = stats.packets_by_type[type];
    whole += count;
    if (type != 0 && !protolib::in_catalogue(static_cast<unsigned>(type))) {
      uncatalogued += count;
    } else if (count > 0) {
      append_line(out, "type " + std::to_string(type), count);
    }
  }
  if (uncatalogued > 0) append_line(out, "other types", uncatalogued);
  append_line(out, "all", whole);
  out += "damaged packets by kind:\n";
  bool damaged = false;
  for (std::size_t kind = 0; kind < kDamageKinds; ++kind) {
    if (stats.damaged[kind] == 0) continue;
    damaged = true;
    append_line(out, std::string(kDamageNames[kind]), stats.damaged[kind]);
  }
  if (!damaged) out += "  none\n";
  out += "bytes in total: " + std::to_string(stats.bytes) + "\n";
  return out;
}

}  // namespace capgen
