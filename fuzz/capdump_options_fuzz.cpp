// capdump's command line (parse_options) over arbitrary argument vectors.
//
// Input: the arguments after the program name, separated by NUL bytes (see fuzz_arguments).
//
// Promises checked: those of check_parse (a clean message or options; the same outcome again;
// --help first wins), and of options that run:
// - the input is one of the arguments; at least one type is listed;
// - --from, --to and --gap only with a clock; --from before --to; a positive gap, and only for
//   --stats or --report, which take no --from, --to or --exact-only;
// - --report with no --stats, --format or --errors; --stats as a table or JSON Lines, without
//   --errors;
// - --split only with --format csv; CSV without --split lists one catalogue type; CSV and raw
//   output without --errors.
#include <protolib/catalogue.hpp>

#include "capdump/src/options.h"
#include "fuzz/fuzz_arguments.h"

namespace {

using capdump::Format;
using capdump::Options;

bool time_options_hold(const Options &options) {
  const bool summary = options.stats || !options.report.empty();
  const capture_pass::TimeRange &range = options.range;
  return (options.clock || (!range.any() && !options.gap)) &&
         (!range.from || !range.to || *range.from < *range.to) &&
         (!options.gap || (*options.gap > 0 && summary)) &&
         (!summary || (!range.any() && !options.exact_only));
}

bool outputs_hold(const Options &options) {
  const bool csv = options.format == Format::kCsv;
  return (options.report.empty() ||
          (!options.stats && options.format == Format::kDefault && !options.errors)) &&
         (!options.stats || (!options.errors && (options.format == Format::kDefault ||
                                                 options.format == Format::kJsonl))) &&
         (options.split.empty() || csv) &&
         (!csv || !options.split.empty() ||
          (options.types.count() == 1 &&
           protolib::in_catalogue(capdump::lowest_type(options.types)))) &&
         (!options.errors || (!csv && options.format != Format::kRaw));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  const std::vector<std::string_view> args = fuzz_arguments(data, size);
  check_parse(capdump::parse_options, args, [&args](const Options &options) {
    return has_argument(args, options.input) && options.types.any() && time_options_hold(options) &&
           outputs_hold(options);
  });
  return 0;
}
