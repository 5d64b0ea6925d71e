// capgen: writes a deterministic synthetic capture, or one made from capdump's JSON Lines. Data
// goes to OUT, diagnostics and the --verbose report to standard error.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capgen/jsonl/jsonl_reader.h"
#include "capgen/options.h"
#include "capgen/recording/generator.h"
#include "capgen/recording/report.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/values.h"
#include "io/byte_io.h"
#include "io/input_file.h"
#include "io/output_buffer.h"
#include "io/replacing_output.h"
#include "io/standard_descriptors.h"

namespace {

// Opens output, hands produce a buffer that writes to it, and puts the capture in place.
// produce returns a message about its input, or empty. A file is replaced only when everything
// succeeded; standard output gets whatever was produced. Returns the exit status, with a message
// on failure.
int write_capture(const std::string &output,
                  const std::function<std::string(io::OutputBuffer &)> &produce) {
  const bool to_stdout = output == "-";
  const std::string name = to_stdout ? "standard output" : cli::quoted(output);
  io::ReplacingOutput file(std::string(capgen::kAbout.name));
  if (const int error = to_stdout ? 0 : file.open(output); error != 0) {
    std::fprintf(stderr, "capgen: cannot open %s: %s\n", name.c_str(), std::strerror(error));
    return cli::kFailed;
  }
  io::FdSink sink(to_stdout ? STDOUT_FILENO : file.fd());
  const auto out = std::make_unique<io::OutputBuffer>(sink, false);
  const std::string input_error = produce(*out);
  int error = out->flush() ? 0 : sink.error();
  if (error == 0 && !to_stdout && input_error.empty()) error = file.commit();
  if (error != 0) return cli::report_write_error(capgen::kAbout.name, name, error);
  if (!input_error.empty()) {
    std::fprintf(stderr, "capgen: %s\n", input_error.c_str());
    return cli::kFailed;
  }
  return cli::kDone;
}

int generate_to(const capgen::Options &options) {
  capgen::CaptureStats stats;
  const int status = write_capture(options.output, [&](io::OutputBuffer &out) {
    stats = capgen::generate(options.capture, out);
    return std::string();
  });
  if (status != cli::kDone || !options.verbose) return status;
  const std::string report = capgen::format_report(stats);
  const bool written = std::fputs(report.c_str(), stderr) >= 0 && std::fflush(stderr) == 0;
  return written ? cli::kDone : cli::kFailed;
}

// Turns the JSON Lines named by --from-jsonl into a capture. The input is opened first and an
// output that is the input refused, so neither case touches the output.
int convert_jsonl(const capgen::Options &options) {
  const bool from_stdin = options.from_jsonl == "-";
  const std::string shown = from_stdin ? "standard input" : cli::quoted(options.from_jsonl);
  io::InputFile input =
      io::open_input(options.from_jsonl.c_str(), {.directories = io::DirectoryCheck::kNone});
  if (!input.opened()) {
    std::fprintf(stderr, "capgen: cannot open %s: %s\n", shown.c_str(),
                 std::strerror(input.error()));
    return cli::kFailed;
  }
  int status = cli::kFailed;
  if (options.output != "-" && input.is_at(options.output)) {
    std::fprintf(stderr, "capgen: cannot write %s: it is the input\n",
                 cli::quoted(options.output).c_str());
  } else {
    io::ByteSource &in = input.source();
    const std::string name = from_stdin ? "standard input" : cli::escaped(options.from_jsonl);
    status = write_capture(options.output, [&](io::OutputBuffer &out) {
      return capgen::packets_from_jsonl(in, name, shown, out);
    });
  }
  return status;
}

}  // namespace

int main(int argc, char **argv) {
  io::occupy_closed_standard_descriptors();
  return cli::run_reporting_out_of_memory(capgen::kAbout.name, [argc, argv] {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const capgen::ParseOutcome parsed = capgen::parse_options(args);
    if (const std::optional<int> status = cli::answer_without_work(
            capgen::kAbout, parsed.error, parsed.request, capgen::help_text)) {
      return *status;
    }
    if (parsed.options.output == "-" && isatty(STDOUT_FILENO) == 1) {
      return cli::report_usage_error(
          capgen::kAbout.name,
          "a capture is binary data; send standard output to a file or a pipe");
    }
    return parsed.options.from_jsonl.empty() ? generate_to(parsed.options)
                                             : convert_jsonl(parsed.options);
  });
}
