// capgen's command line (parse_options) over arbitrary argument vectors.
//
// Input: the arguments after the program name, separated by NUL bytes (see fuzz_arguments).
//
// Promises checked: those of check_parse (a clean message or options; the same outcome again;
// --help first wins), and of options that run:
// - the output is one of the arguments;
// - at least one catalogue type and only catalogue types; a damage rate from 0 to 1;
// - --random-bytes with no packet limit; a packet limit lifts the size limit unless --size is
//   among the arguments;
// - --from-jsonl with every generation setting (--verbose included) left as it is by default.
#include <cmath>

#include "capgen/options.h"
#include "fuzz/fuzz_arguments.h"

namespace {

bool only_catalogue(const capgen::TypeSet &types) {
  for (std::size_t type = 0; type < types.size(); ++type) {
    if (types[type] && !protolib::in_catalogue(static_cast<unsigned>(type))) return false;
  }
  return types.any();
}

bool default_settings(const capgen::Options &options) {
  const capgen::CaptureSettings defaults;
  const capgen::CaptureSettings &given = options.capture;
  return !options.verbose && given.max_bytes == defaults.max_bytes &&
         given.max_packets == defaults.max_packets && given.seed == defaults.seed &&
         given.types == defaults.types && given.damage == defaults.damage &&
         given.damage_rate == defaults.damage_rate && given.random_bytes == defaults.random_bytes;
}

bool size_given(const std::vector<std::string_view> &args) {
  return std::any_of(args.begin(), args.end(),
                     [](std::string_view arg) { return arg.starts_with("--size"); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  const std::vector<std::string_view> args = fuzz_arguments(data, size);
  check_parse(capgen::parse_options, args, [&args](const capgen::Options &options) {
    const capgen::CaptureSettings &capture = options.capture;
    return has_argument(args, options.output) && only_catalogue(capture.types) &&
           capture.damage_rate >= 0 && capture.damage_rate <= 1 &&
           (!capture.random_bytes || capture.max_packets == capgen::kNoLimit) &&
           (capture.max_packets == capgen::kNoLimit || capture.max_bytes == capgen::kNoLimit ||
            size_given(args)) &&
           (options.from_jsonl.empty() || default_settings(options));
  });
  return 0;
}
