// listing.h - the run both listing programs share: feed a capture through a 1024-byte ring into
// the decoder, write one line per packet of the listed type, then the summary.
#ifndef LISTING_LISTING_H
#define LISTING_LISTING_H

#include <protolib/decoder.h>
#include <protolib/ring.h>
#include <protolib/catalogue.hpp>

#include <cstdint>
#include <string_view>

#include "cli/command_line.h"
#include "io/byte_io.h"
#include "io/output_buffer.h"

namespace listing {

// Exit statuses of the listing programs.
enum ListingStatus {
  kListingDone = 0,     // the whole file was processed and listed
  kListingFailed = 1,   // usage, a missing or unopenable file, out of memory
  kListingIoError = 2,  // a read failed part-way or the output could not be written
};

// The bits of the packet types of Records, catalogue records of types below 32: bit t for type t.
template <typename... Records>
constexpr uint32_t type_bits() {
  static_assert(((protolib::Layout<Records>::kType < 32) && ...));
  return ((uint32_t{1} << protolib::Layout<Records>::kType) | ...);
}

// True when changed, bits as type_bits() makes them, has the bit of Record's type.
template <typename Record>
constexpr bool record_changed(uint32_t changed) {
  return (changed & type_bits<Record>()) != 0;
}

// Formats the record line of one program.
class LineFormatter {
 public:
  static constexpr std::size_t kMaxLine = io::OutputBuffer::kMaxReserve;
  // shown_types: type_bits() of the records the line shows, the listed type's among them.
  explicit LineFormatter(uint32_t shown_types) : shown_types_(shown_types) {}
  virtual ~LineFormatter() = default;
  // The bits of the packet types whose records the line shows.
  uint32_t shown_types() const { return shown_types_; }
  // Writes the line (newline included) for the packet just decoded and clears the fresh flags it
  // showed. changed has the bit of each shown type whose record may have changed since this
  // formatter's previous line; the first line must have them all. Writes at most kMaxLine
  // characters; returns the position after the line.
  virtual char *format(PacketDecoder &decoder, uint32_t changed, char *out) = 0;

 private:
  uint32_t shown_types_;
};

// Counts of one listing run.
struct ListingCounts {
  unsigned long lines = 0;     // lines written: packets of the listed type
  uint64_t packet_errors = 0;  // packets the framer rejected, counted on past INT32_MAX
  bool read_failed = false;    // reading stopped on an error rather than end of input
};

// The decoder a listing run feeds: over a ring of its own, empty, of the 1024 bytes list_stream
// needs. Throws std::bad_alloc when memory runs out.
class ListingDecoder {
 public:
  ListingDecoder();
  ~ListingDecoder();
  ListingDecoder(const ListingDecoder &) = delete;
  ListingDecoder &operator=(const ListingDecoder &) = delete;

  PacketDecoder &decoder() { return *decoder_; }

 private:
  ByteRing *ring_ = nullptr;
  PacketDecoder *decoder_ = nullptr;
};

// Feeds every byte of in to the decoder's input ring (which must be empty and hold 1024 bytes),
// taking every packet from it after each addition until the ring is empty. Only the records line
// shows are decoded: the decoder's other records and last_packet stay as they were. Each packet
// of listed_type (a type line shows) gets its count and '\r' on progress, then its line on out.
// Stops early once out has failed, as nothing more can be delivered. The framer's errors are
// moved into the counts after each drain, so they are 0 afterwards.
ListingCounts list_stream(uint8_t listed_type, LineFormatter &line, PacketDecoder &decoder,
                          io::ByteSource &in, io::OutputBuffer &out, io::OutputBuffer &progress);

// What the listers' usage line says after "usage: NAME ".
inline constexpr std::string_view kUsage = "<in_file>\n  output goes to stdout";

// Answers request, --help or --version, through the cli kit on standard output: the help of
// program_name, which lists the packets of listed_type, or "program_name VERSION". Returns the exit
// status: kListingDone, or kListingIoError after "error writing output" on standard error.
int answer_request(std::string_view program_name, uint8_t listed_type, cli::Request request);

// Lists the capture file at path ("-": standard input) on standard output with progress, the
// summary and any read or write failure on standard error; a name that does not exist (or is a
// directory) is reported before anything is read. Lines go out before each wait for input.
// SIGINT, SIGTERM, SIGHUP or SIGQUIT stops the reading: the run then ends as at the end of input.
// Returns the exit status: kListingIoError too when standard error cannot be written, as the
// summary is then lost; kListingFailed when memory runs out; 128 + the signal's number after a stop
// otherwise.
int list_capture(uint8_t listed_type, LineFormatter &line, const char *path);

}  // namespace listing

#endif  // LISTING_LISTING_H
