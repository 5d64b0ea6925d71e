#include "capdump/src/command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "capdump/src/csv_files.h"
#include "capdump/src/csv_table.h"
#include "capdump/src/file_output.h"
#include "capdump/src/json_lines.h"
#include "capdump/src/raw_packets.h"
#include "capdump/src/report_page.h"
#include "capdump/src/report_sink.h"
#include "capdump/src/type_filter.h"
#include "capture_pass/capture_stats.h"
#include "capture_pass/clock_gaps.h"
#include "capture_pass/clock_sink.h"
#include "capture_pass/dump_pass.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/values.h"
#include "io/follow_source.h"
#include "io/input_file.h"
#include "io/output_buffer.h"
#include "io/replacing_output.h"
#include "io/stop_signal.h"

namespace capdump {

namespace {

// A pass over a capture timed by the clock the options name, if any: the clock sees every
// packet before any sink keeps or drops it.
class TimedPass {
 public:
  // steps: record the clock's steps, for the stats.
  TimedPass(const Options &options, bool steps) : options_(options) {
    if (options.clock) clock_.emplace(*options.clock);
    if (options.clock && steps) steps_.emplace();
  }

  // The clock for the sinks that show time, or null.
  const capture_pass::PacketClock *clock() const { return clock_ ? &*clock_ : nullptr; }
  const capture_pass::ClockSteps *steps() const { return steps_ ? &*steps_ : nullptr; }

  // Reads in to its end, handing what lies in the time range to sink.
  capture_pass::PassTotals run(io::ByteSource &in, capture_pass::EventSink &sink) {
    if (!clock_) return capture_pass::dump_pass(in, options_.recover, sink);
    capture_pass::ClockSink timed(*clock_, sink, options_.range, steps_ ? &*steps_ : nullptr);
    return capture_pass::dump_pass(in, options_.recover, timed);
  }

 private:
  const Options &options_;
  std::optional<capture_pass::PacketClock> clock_;
  std::optional<capture_pass::ClockSteps> steps_;
};

// Runs a pass over in handing the packets the options choose to sink; a filter only when the
// options leave some packets out.
capture_pass::PassTotals list_packets(const Options &options, TimedPass &pass, io::ByteSource &in,
                                      capture_pass::EventSink &sink) {
  if (options.types.all() && !options.exact_only) return pass.run(in, sink);
  TypeFilter filter(options.types, sink, options.exact_only);
  return pass.run(in, filter);
}

// Runs the pass options ask for over in, writing to out.
capture_pass::PassTotals dump(const Options &options, io::ByteSource &in, io::OutputBuffer &out) {
  TimedPass pass(options, options.stats);
  if (options.stats) {
    capture_pass::StatsSink stats(options.recover, pass.clock(), pass.steps());
    const capture_pass::PassTotals totals = pass.run(in, stats);
    const capture_pass::CaptureStats counted = stats.stats(totals, options.gap);
    out.append(options.format == Format::kJsonl ? capture_pass::stats_json(counted)
                                                : capture_pass::stats_table(counted));
    return totals;
  }
  if (options.format == Format::kCsv) {
    auto csv =
        std::make_unique<CsvSink>(out, lowest_type(options.types), options.recover, pass.clock());
    // The table keeps the packets of its one type itself.
    if (!options.exact_only) return pass.run(in, *csv);
    return list_packets(options, pass, in, *csv);
  }
  if (options.format == Format::kRaw) {
    RawPackets raw(out);
    return list_packets(options, pass, in, raw);
  }
  auto json = std::make_unique<JsonLinesSink>(out, options.errors, pass.clock());
  return list_packets(options, pass, in, *json);
}

// Creates the directory dir unless there is one; false after a message when neither works.
bool make_directory(const std::string &dir) {
  if (mkdir(dir.c_str(), 0777) == 0) return true;
  int error = errno;
  struct stat info {};
  if (error == EEXIST) {
    if (stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
    error = ENOTDIR;
  }
  std::fprintf(stderr, "capdump: cannot create directory %s: %s\n", cli::quoted(dir).c_str(),
               std::strerror(error));
  return false;
}

// Reads in and writes a CSV file a type to options.split, through files, which it sets for the
// time of the pass; input is the status of the capture read.
capture_pass::PassTotals split(const Options &options, io::ByteSource &in, const struct stat &input,
                               std::unique_ptr<CsvFiles> &files, int &status) {
  if (!make_directory(options.split)) {
    status = cli::kFailed;
    return {};
  }
  TimedPass pass(options, false);
  files = std::make_unique<CsvFiles>(options.split, options.types, options.recover, pass.clock(),
                                     input);
  const capture_pass::PassTotals totals = list_packets(options, pass, in, *files);
  status = files->finish();
  files.reset();
  return totals;
}

// Puts page in a file at path, replacing one there only once all of it is written; returns the
// exit status, with a message if that failed.
int write_page(const std::string &path, const std::string &page) {
  io::ReplacingOutput file{std::string(kAbout.name)};
  int error = file.open(path);
  if (error == 0) {
    io::FdSink sink(file.fd());
    error = sink.write(page.data(), page.size()) ? file.commit() : sink.error();
  }
  if (error == 0) return cli::kDone;
  return cli::report_write_error(kAbout.name, cli::quoted(path), error);
}

// Reads in for the report page and writes it to options.report, unless reading fails.
capture_pass::PassTotals report(const Options &options, io::ByteSource &in,
                                const std::string &shown, int &status) {
  TimedPass pass(options, true);
  ReportSink sink(options.recover, pass.clock(), pass.steps());
  const capture_pass::PassTotals totals = pass.run(in, sink);
  if (!totals.read_failed)
    status = write_page(options.report, report_page(sink.finish(totals, options.gap), shown));
  return totals;
}

// The output, as messages name it, that would write over the capture input reads; empty when
// none would. --split's files are checked as they are made.
std::string written_over(const Options &options, const io::InputFile &input) {
  if (!options.report.empty())
    return input.is_at(options.report) ? cli::quoted(options.report) : "";
  if (options.split.empty() && input.is_open_as(STDOUT_FILENO)) return "standard output";
  return std::string();
}

// Ends the run as a write to an output whose reader has gone does: by SIGPIPE or, when that is
// ignored, with the write error.
int end_as_broken_output() {
  std::raise(SIGPIPE);
  return cli::report_write_error(kAbout.name, "standard output", EPIPE);
}

}  // namespace

int run_dump(const Options &options) {
  if (options.format == Format::kRaw && options.report.empty() && isatty(STDOUT_FILENO) == 1) {
    return cli::report_usage_error(
        kAbout.name, "--format raw writes packet bytes; send standard output to a file or a pipe");
  }
  const std::string shown =
      options.input == "-" ? std::string("standard input") : cli::quoted(options.input);
  std::unique_ptr<FileOutput> out;
  std::unique_ptr<CsvFiles> files;  // with --split, during the pass
  // What the bytes so far gave goes out before each wait for more.
  const auto deliver = [&out, &files] {
    if (files) files->flush();
    out->buffer().flush();
  };
  const auto shrank = [&shown] {
    std::fprintf(stderr, "capdump: %s shrank; reading it again from the start\n", shown.c_str());
  };
  if (options.follow && options.input != "-" && access(options.input.c_str(), F_OK) != 0 &&
      errno == ENOENT) {
    io::catch_stop_signals();
    std::fprintf(stderr, "capdump: %s does not exist yet; waiting for it to appear\n",
                 shown.c_str());
    if (!io::wait_for_file(options.input.c_str())) return io::status_after_stop(cli::kDone);
  }
  const bool to_stdout = options.report.empty() && options.split.empty();
  io::InputFile input =
      io::open_input(options.input.c_str(), {.before_wait = deliver,
                                             .follow = options.follow,
                                             .shrank = shrank,
                                             .watched_output = to_stdout ? STDOUT_FILENO : -1});
  if (!input.opened()) {
    std::fprintf(stderr, "capdump: cannot open %s: %s\n", shown.c_str(),
                 std::strerror(input.error()));
    return cli::kFailed;
  }
  if (const std::string written = written_over(options, input); !written.empty()) {
    std::fprintf(stderr, "capdump: cannot write %s: it is the input\n", written.c_str());
    return cli::kFailed;
  }
  io::catch_stop_signals();
  out = std::make_unique<FileOutput>(STDOUT_FILENO, isatty(STDOUT_FILENO) == 1);
  io::ByteSource &in = input.source();
  int status = cli::kDone;
  capture_pass::PassTotals totals;
  if (!options.split.empty()) {
    totals = split(options, in, input.status(), files, status);
  } else if (options.report.empty()) {
    totals = dump(options, in, out->buffer());
    status = out->finish("standard output");
  } else {
    totals = report(options, in, shown, status);
  }
  if (input.output_gone()) status = end_as_broken_output();
  if (totals.read_failed) {
    std::fprintf(stderr, "capdump: error reading %s: %s\n", shown.c_str(),
                 std::strerror(totals.read_error));
    status = cli::kFailed;
  }
  return io::status_after_stop(status);
}

}  // namespace capdump
