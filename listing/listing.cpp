#include "listing/listing.h"

#include <protolib/framer.h>
#include <protolib/ring.h>
#include <unistd.h>
#include <protolib/catalogue.hpp>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/console.h"
#include "io/input_file.h"
#include "io/stop_signal.h"
#include "listing/decimal_counter.h"

namespace listing {

namespace {

constexpr unsigned kRingSize = 1024;
// Bytes added to the ring at a time: all it can take. The decoder empties the ring after each
// addition, and the framer's results do not depend on how the stream is divided.
constexpr std::size_t kRingRefill = kRingSize - 1;
constexpr std::size_t kReadBlock = std::size_t{64} * 1024;

struct Run {
  Run(uint8_t listed, LineFormatter &formatter, PacketDecoder &from, io::OutputBuffer &lines,
      io::OutputBuffer &counts_so_far)
      : listed_type(listed), line(formatter), decoder(from), out(lines), progress(counts_so_far) {}

  uint8_t listed_type;
  LineFormatter &line;
  PacketDecoder &decoder;
  io::OutputBuffer &out;
  io::OutputBuffer &progress;
  ListingCounts counts{};
  uint32_t changed = ~uint32_t{0};  // the shown types decoded since the last line; all at first
  DecimalCounter line_count;        // counts.lines as text

  void write_line() {
    ++counts.lines;
    line_count.increment();
    progress.commit(line_count.put(progress.reserve(), '\r'));
    out.commit(line.format(decoder, changed, out.reserve()));
    changed = 0;
  }

  // Takes every packet the ring holds, decoding those of the shown types. The framer's count,
  // which saturates, is moved into the run's while far below its limit.
  void drain() {
    const uint32_t shown = line.shown_types();
    for (const uint8_t *packet; (packet = framer_next(decoder.framer)) != nullptr;) {
      const uint8_t type = packet[0];
      if (type >= 32 || (shown >> type & 1u) == 0) continue;
      protolib::decode_into_slot(decoder, packet);
      changed |= uint32_t{1} << type;
      if (type == listed_type) write_line();
    }
    counts.packet_errors += static_cast<uint64_t>(framer_take_errors(decoder.framer));
  }
};

// The summary, then a line for each failure; returns the exit status. On a terminal the summary
// ends in a newline as well, so the shell's prompt does not cover its last line.
int finish(const ListingCounts &counts, io::OutputBuffer &out, io::OutputBuffer &err) {
  char summary[64];
  const int size =
      std::snprintf(summary, sizeof summary, "%lu good packets\n%llu packet errors\r", counts.lines,
                    static_cast<unsigned long long>(counts.packet_errors));
  err.append(std::string_view(summary, static_cast<std::size_t>(size)));
  if (err.interactive()) err.append("\n");
  int status = kListingDone;
  if (counts.read_failed) {
    err.append("error reading input file\n");
    status = kListingIoError;
  }
  if (!out.flush()) {
    err.append("error writing output\n");
    status = kListingIoError;
  }
  if (!err.flush()) status = kListingIoError;
  return status;
}

// The --help text of program_name, which lists the packets of listed_type.
std::string help_text(std::string_view program_name, uint8_t listed_type) {
  return "usage: " + std::string(program_name) + " " + std::string(kUsage) +
         "\n\n"
         "Lists the capture <in_file> (- for standard input) as one line of numbers per type-" +
         std::to_string(listed_type) +
         "\n"
         "packet, each line as soon as its packet has arrived. Standard error gets the line count\n"
         "as it goes and, at the end, \"N good packets\" and \"M packet errors\": the lines\n"
         "written and the damaged packets the framer rejected. On damaged input the framer does\n"
         "not go back: a packet a damaged one swallowed is not listed; capdump --recover finds\n"
         "it. Ctrl-C, SIGTERM, SIGHUP (a closed terminal) or SIGQUIT ends the listing after the "
         "last\n"
         "whole line, with the summary.\n\n"
         "  --help     print this help and exit\n"
         "  --version  print the version and exit\n\n"
         "Exit status: 0 done; 1 wrong usage, no such file, cannot open, out of memory; 2 a read\n"
         "or write failed part-way; 130 stopped by Ctrl-C, 143 by SIGTERM, 129 by SIGHUP, 131 by\n"
         "SIGQUIT.\n";
}

}  // namespace

ListingDecoder::ListingDecoder() {
  if (ring_create(&ring_, nullptr, kRingSize) != 0) throw std::bad_alloc();
  decoder_ = decoder_create(ring_);
  if (decoder_ == nullptr) {
    ring_destroy(ring_);
    throw std::bad_alloc();
  }
}

ListingDecoder::~ListingDecoder() {
  decoder_destroy(decoder_);
  ring_destroy(ring_);
}

ListingCounts list_stream(uint8_t listed_type, LineFormatter &line, PacketDecoder &decoder,
                          io::ByteSource &in, io::OutputBuffer &out, io::OutputBuffer &progress) {
  Run run(listed_type, line, decoder, out, progress);
  auto block = std::make_unique_for_overwrite<uint8_t[]>(kReadBlock);
  // The output is checked before each read, so a failed output costs no further read, which
  // could wait a long time on a pipe or terminal for bytes that would only be thrown away.
  while (!out.failed()) {
    const std::ptrdiff_t n = in.read(block.get(), kReadBlock);
    if (n == 0) break;
    if (n < 0) {
      run.counts.read_failed = true;
      break;
    }
    for (std::ptrdiff_t at = 0; at < n;) {
      const auto chunk = std::min<std::ptrdiff_t>(n - at, kRingRefill);
      ring_write(decoder.input, block.get() + at, static_cast<int>(chunk));
      run.drain();
      at += chunk;
    }
  }
  return run.counts;
}

int answer_request(std::string_view program_name, uint8_t listed_type, cli::Request request) {
  const cli::About about{program_name, LISTING_VERSION, kUsage, {}};
  const std::string text = cli::request_text(
      about, request, [program_name, listed_type] { return help_text(program_name, listed_type); });
  if (cli::write_text(text) != 0) {
    std::fputs("error writing output\n", stderr);
    return kListingIoError;
  }
  return kListingDone;
}

int list_capture(uint8_t listed_type, LineFormatter &line, const char *path) {
  io::FdSink out_sink(STDOUT_FILENO);
  io::FdSink err_sink(STDERR_FILENO);
  std::unique_ptr<io::OutputBuffer> out;
  std::unique_ptr<io::OutputBuffer> err;
  // Lines and the count so far go out before waiting for more input.
  io::InputFile input =
      io::open_input(path, {.directories = io::DirectoryCheck::kNamed, .before_wait = [&out, &err] {
                              out->flush();
                              err->flush();
                            }});
  if (!input.opened()) {
    std::fputs(input.fault() == io::InputFault::kCannotOpen ? "input file cannot be opened\n"
                                                            : "input file does not exist\n",
               stderr);
    return kListingFailed;
  }
  try {
    ListingDecoder decoder;
    out = std::make_unique<io::OutputBuffer>(out_sink, isatty(STDOUT_FILENO) == 1);
    err = std::make_unique<io::OutputBuffer>(err_sink, isatty(STDERR_FILENO) == 1);
    io::catch_stop_signals();
    const ListingCounts counts =
        list_stream(listed_type, line, decoder.decoder(), input.source(), *out, *err);
    return io::status_after_stop(finish(counts, *out, *err));
  } catch (const std::bad_alloc &) {
    std::fputs("out of memory\n", stderr);
  }
  return kListingFailed;
}

}  // namespace listing
