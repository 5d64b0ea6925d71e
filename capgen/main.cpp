// capgen: writes a deterministic synthetic capture, or one made from capdump's JSON Lines. Data
// goes to OUT, diagnostics and the --verbose report to standard error.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/values.h"
#include "generator.h"
#include "jsonl_reader.h"
#include "options.h"
#include "report.h"

namespace {

// Opens output, hands produce a sink that writes to it, and closes it. produce returns a
// message about its input, or empty. Returns the exit status, with a message on failure.
int write_capture(const std::string &output,
                  const std::function<std::string(const capgen::Sink &)> &produce) {
  const bool to_stdout = output == "-";
  const std::string name = to_stdout ? "standard output" : cli::quoted(output);
  std::FILE *stream = to_stdout ? stdout : std::fopen(output.c_str(), "wb");
  if (stream == nullptr) {
    std::fprintf(stderr, "capgen: cannot open %s: %s\n", name.c_str(), std::strerror(errno));
    return cli::kFailed;
  }
  int error = 0;
  const std::string input_error = produce([stream, &error](const uint8_t *data, std::size_t size) {
    if (std::fwrite(data, 1, size, stream) == size) return true;
    error = errno;
    return false;
  });
  const int close_error = cli::finish_stream(stream);
  if (error != 0 || close_error != 0) {
    return cli::report_write_error(capgen::kAbout.name, name, error != 0 ? error : close_error);
  }
  if (!input_error.empty()) {
    std::fprintf(stderr, "capgen: %s\n", input_error.c_str());
    return cli::kFailed;
  }
  return cli::kDone;
}

int generate_to(const capgen::Options &options) {
  capgen::CaptureStats stats;
  const int status = write_capture(options.output, [&](const capgen::Sink &sink) {
    stats = capgen::generate(options.capture, sink);
    return std::string();
  });
  if (status == cli::kDone && options.verbose)
    std::fputs(capgen::format_report(stats).c_str(), stderr);
  return status;
}

// Turns the JSON Lines named by --from-jsonl into a capture; the input is opened first, so a
// missing one leaves the output untouched.
int convert_jsonl(const capgen::Options &options) {
  const bool from_stdin = options.from_jsonl == "-";
  std::ifstream file;
  if (!from_stdin) file.open(options.from_jsonl, std::ios::binary);
  if (!from_stdin && !file) {
    const int error = errno;
    std::fprintf(stderr, "capgen: cannot open %s: %s\n", cli::quoted(options.from_jsonl).c_str(),
                 std::strerror(error));
    return cli::kFailed;
  }
  std::istream &in = from_stdin ? std::cin : file;
  const std::string name = from_stdin ? "standard input" : options.from_jsonl;
  return write_capture(options.output, [&](const capgen::Sink &sink) {
    return capgen::packets_from_jsonl(in, name, sink);
  });
}

}  // namespace

int main(int argc, char **argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const capgen::ParseOutcome parsed = capgen::parse_options(args);
  if (const std::optional<int> status = cli::answer_without_work(
          capgen::kAbout, parsed.error, parsed.request, capgen::help_text)) {
    return *status;
  }
  return parsed.options.from_jsonl.empty() ? generate_to(parsed.options)
                                           : convert_jsonl(parsed.options);
}
