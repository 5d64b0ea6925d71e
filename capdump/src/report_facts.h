// report_facts.h - the facts at the top of the --report page: the --stats summary as tables,
// with the shares of the bytes and of the packets.
#ifndef CAPDUMP_SRC_REPORT_FACTS_H
#define CAPDUMP_SRC_REPORT_FACTS_H

#include <bitset>
#include <string>

#include "capture_pass/capture_stats.h"

namespace capdump {

// The types with a row and a chart of their own: catalogue types, and others with 1% of the
// packets at least. The rest, mostly damaged type bytes, are shown together.
std::bitset<256> types_shown_alone(const capture_pass::CaptureStats &stats);

// The facts section of the page: bytes by what they hold, packets by type (the types not shown
// alone as one row, listed in a folded note), rejected packets by reason, the unfinished packet,
// the packets that are not exact by form, and with a clock its times, dropouts and resets.
std::string report_facts(const capture_pass::CaptureStats &stats);

}  // namespace capdump

#endif  // CAPDUMP_SRC_REPORT_FACTS_H
