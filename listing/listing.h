// listing.h - the run both listing programs share: open a capture, feed it through a 1024-byte
// ring into the decoder, print one line per packet of the listed type, then the summary.
#ifndef LISTING_LISTING_H
#define LISTING_LISTING_H

#include <protolib/decoder.h>

#include <cstdint>
#include <cstdio>

// Exit statuses of the listing programs.
enum ListingStatus {
  kListingDone = 0,     // the whole file was processed and listed
  kListingFailed = 1,   // usage, a missing or unopenable file, out of memory
  kListingIoError = 2,  // a read failed part-way or the output could not be written
};

// How a program moves bytes from the file into the ring.
enum class Feed {
  kByteAtATime,  // one fgetc and ring_put per byte, the decoder drained after each
  kBlocksOf100,  // up to 100 bytes per fread and ring_write, the decoder drained after each
};

// What distinguishes one listing program from the other.
struct ListingProgram {
  uint8_t listed_type;  // the packet type that gets a line (never 0)
  Feed feed;
  // Prints the record line of the packet just decoded and clears the fresh flags it showed.
  void (*print_line)(PacketDecoder &decoder, FILE *out);
};

// Counts of one listing run.
struct ListingCounts {
  unsigned long lines = 0;          // lines printed: packets of the listed type
  unsigned long packet_errors = 0;  // packets the framer rejected
  bool read_failed = false;         // reading stopped on an error rather than end of file
};

// Feeds every byte of in into decoder's input ring as program says, printing each line on out
// and "%lu\r" progress before it on err. Drains the decoder until the ring is really empty, so
// a packet of type 0 strands no bytes behind it. The ring must be empty and hold 1024 bytes.
ListingCounts list_stream(const ListingProgram &program, PacketDecoder &decoder, FILE *in,
                          FILE *out, FILE *err);

// Lists the capture file at path, which the caller found to exist: opens it, creates the ring
// and the decoder, runs list_stream on stdout and stderr, prints the summary and reports read
// and write failures on stderr. Returns the exit status.
int list_capture(const ListingProgram &program, const char *path);

#endif  // LISTING_LISTING_H
