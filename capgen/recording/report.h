// The --verbose report: what a capture holds, as text for standard error.
#ifndef CAPGEN_SRC_REPORT_H
#define CAPGEN_SRC_REPORT_H

#include <string>

#include "capgen/recording/generator.h"

namespace capgen {

// Lines naming the whole packets written of each catalogue type and of type 0, of all other
// types together, the packets damaged by each kind (only types and kinds that occur) and the
// bytes in total.
std::string format_report(const CaptureStats &stats);

}  // namespace capgen

#endif  // CAPGEN_SRC_REPORT_H
