// capgen: writes a deterministic synthetic capture, or one made from capdump's JSON Lines. Data
// goes to OUT, diagnostics and the --verbose report to standard error.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "generator.h"
#include "jsonl_reader.h"
#include "options.h"
#include "report.h"

namespace {

constexpr int kWriteFailed = 1;
constexpr int kReadFailed = 1;  // the --from-jsonl input
constexpr int kBadUsage = 2;

// Flushes stream and closes it unless it is standard output. Returns 0 when everything written
// to it reached the file, otherwise an errno value that describes the failure.
int finish_stream(std::FILE *stream) {
  errno = 0;
  bool failed = std::fflush(stream) != 0 || std::ferror(stream) != 0;
  int error = errno;
  if (stream != stdout && std::fclose(stream) != 0 && !failed) {
    failed = true;
    error = errno;
  }
  return !failed ? 0 : error != 0 ? error : EIO;
}

int report_write_error(std::string_view name, int error) {
  std::fprintf(stderr, "capgen: cannot write %.*s: %s\n", static_cast<int>(name.size()),
               name.data(), std::strerror(error));
  return kWriteFailed;
}

// Prints text to standard output, as --help and --version do.
int print_text(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  const int error = finish_stream(stdout);
  return error == 0 ? 0 : report_write_error("standard output", error);
}

// Opens output, hands produce a sink that writes to it, and closes it. produce returns a
// message about its input, or empty. Returns the exit status, with a message on failure.
int write_capture(const std::string &output,
                  const std::function<std::string(const capgen::Sink &)> &produce) {
  const bool to_stdout = output == "-";
  const std::string name = to_stdout ? "standard output" : "'" + output + "'";
  std::FILE *stream = to_stdout ? stdout : std::fopen(output.c_str(), "wb");
  if (stream == nullptr) {
    std::fprintf(stderr, "capgen: cannot open %s: %s\n", name.c_str(), std::strerror(errno));
    return kWriteFailed;
  }
  int error = 0;
  const std::string input_error = produce([stream, &error](const uint8_t *data, std::size_t size) {
    if (std::fwrite(data, 1, size, stream) == size) return true;
    error = errno;
    return false;
  });
  const int close_error = finish_stream(stream);
  if (error != 0 || close_error != 0) {
    return report_write_error(name, error != 0 ? error : close_error);
  }
  if (!input_error.empty()) {
    std::fprintf(stderr, "capgen: %s\n", input_error.c_str());
    return kReadFailed;
  }
  return 0;
}

int generate_to(const capgen::Options &options) {
  capgen::CaptureStats stats;
  const int status = write_capture(options.output, [&](const capgen::Sink &sink) {
    stats = capgen::generate(options.capture, sink);
    return std::string();
  });
  if (status == 0 && options.verbose) std::fputs(capgen::format_report(stats).c_str(), stderr);
  return status;
}

// Turns the JSON Lines named by --from-jsonl into a capture; the input is opened first, so a
// missing one leaves the output untouched.
int convert_jsonl(const capgen::Options &options) {
  const bool from_stdin = options.from_jsonl == "-";
  std::ifstream file;
  if (!from_stdin) file.open(options.from_jsonl, std::ios::binary);
  if (!from_stdin && !file) {
    std::fprintf(stderr, "capgen: cannot open '%s': %s\n", options.from_jsonl.c_str(),
                 std::strerror(errno));
    return kReadFailed;
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
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "capgen: %s\nTry 'capgen --help' for more information.\n",
                 parsed.error.c_str());
    return kBadUsage;
  }
  switch (parsed.options.command) {
    case capgen::Command::kHelp:
      return print_text(capgen::help_text());
    case capgen::Command::kVersion:
      return print_text("capgen " CAPGEN_VERSION "\n");
    default:
      return parsed.options.from_jsonl.empty() ? generate_to(parsed.options)
                                               : convert_jsonl(parsed.options);
  }
}
