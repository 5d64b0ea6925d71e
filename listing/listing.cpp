#include "listing.h"

#include <protolib/ring.h>

namespace {

constexpr unsigned kRingSize = 1024;
constexpr size_t kBlockRead = 100;
constexpr size_t kBlockBuffer = 128;

bool ring_is_empty(const ByteRing *ring) {
  return ring->read_pos == ring->write_pos;
}

// Steps the decoder until its ring holds no more bytes, printing a line for each packet of the
// listed type.
void drain(const ListingProgram &program, PacketDecoder &decoder, FILE *out, FILE *err,
           ListingCounts &counts) {
  for (;;) {
    const uint8_t type = decoder_step(&decoder);
    if (type == program.listed_type) {
      ++counts.lines;
      std::fprintf(err, "%lu\r", counts.lines);
      program.print_line(decoder, out);
    } else if (type == 0 && ring_is_empty(decoder.input)) {
      return;
    }
  }
}

}  // namespace

ListingCounts list_stream(const ListingProgram &program, PacketDecoder &decoder, FILE *in,
                          FILE *out, FILE *err) {
  ListingCounts counts;
  ByteRing *ring = decoder.input;
  if (program.feed == Feed::kByteAtATime) {
    for (int byte = std::fgetc(in); byte != EOF; byte = std::fgetc(in)) {
      ring_put(ring, static_cast<uint8_t>(byte));
      drain(program, decoder, out, err, counts);
    }
  } else {
    uint8_t block[kBlockBuffer];
    for (size_t n = std::fread(block, 1, kBlockRead, in); n > 0;
         n = std::fread(block, 1, kBlockRead, in)) {
      ring_write(ring, block, static_cast<int>(n));
      drain(program, decoder, out, err, counts);
    }
  }
  counts.packet_errors = static_cast<unsigned long>(decoder.framer->errors);
  counts.read_failed = std::ferror(in) != 0;
  return counts;
}

int list_capture(const ListingProgram &program, const char *path) {
  FILE *in = std::fopen(path, "rb");
  if (in == nullptr) {
    std::fputs("input file cannot be opened\n", stderr);
    return kListingFailed;
  }
  ByteRing *ring = nullptr;
  PacketDecoder *decoder = nullptr;
  if (ring_create(&ring, nullptr, kRingSize) != 0 || (decoder = decoder_create(ring)) == nullptr) {
    std::fputs("out of memory\n", stderr);
    ring_destroy(ring);
    std::fclose(in);
    return kListingFailed;
  }

  const ListingCounts counts = list_stream(program, *decoder, in, stdout, stderr);
  decoder_destroy(decoder);
  ring_destroy(ring);
  std::fclose(in);

  std::fprintf(stderr, "%lu good packets\n%lu packet errors\r", counts.lines, counts.packet_errors);
  int status = kListingDone;
  if (counts.read_failed) {
    std::fputs("error reading input file\n", stderr);
    status = kListingIoError;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::fputs("error writing output\n", stderr);
    status = kListingIoError;
  }
  return status;
}
