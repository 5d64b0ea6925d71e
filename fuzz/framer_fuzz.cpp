// Framer and decoder over arbitrary bytes fed in chunks the input chooses, against the same bytes
// fed through a 1024-byte ring as fast as it takes them: both must complete the same packets
// (type, length, payload) at the same stream positions, with the same error count, the same
// records and, at the end, the same receive state. A framer that has completed a packet has
// taken no byte past it, so the reference's position then is the packet's end however far
// ahead it was fed.
//
// Input: a u16 ring size (2 + n % 1023 bytes); a u16 receiver choice (below 0x8000 a decoder,
// otherwise a bare framer with max_length n % 300); a count byte and that many u16 chunk sizes
// (1 + n % (ring size - 1), used in turn; none: ring size - 1); then the stream as fuzz_capture
// reads it.
#include <protolib/decoder.h>

#include <cstddef>
#include <cstring>

#include "fuzz/fuzz_capture.h"

namespace {

constexpr int kDecoderMaxLength = FRAMER_ACCEPT_EVERY_LENGTH;  // what a decoder's framer takes
constexpr unsigned kReferenceRing = 1024;

// A ring and what reads it: a decoder, or a framer of its own.
class Receiver {
 public:
  Receiver(unsigned ring_size, int max_length) {
    FUZZ_REQUIRE(ring_create(&ring_, nullptr, ring_size) == 0);
    if (max_length == kDecoderMaxLength) {
      decoder_ = decoder_create(ring_);
      framer_ = decoder_->framer;
    } else {
      framer_ = framer_create(ring_, max_length);
    }
  }
  ~Receiver() {
    if (decoder_ == nullptr) framer_destroy(framer_);
    decoder_destroy(decoder_);
    ring_destroy(ring_);
  }
  Receiver(const Receiver &) = delete;
  Receiver &operator=(const Receiver &) = delete;

  void write(const uint8_t *data, std::size_t n) {
    ring_write(ring_, data, static_cast<int>(n));
    written_ += n;
  }

  // The next packet completed from the bytes written (type, length, payload), or null.
  const uint8_t *next() {
    if (decoder_ == nullptr) return framer_next(framer_);
    decoder_->last_packet = nullptr;
    const uint8_t type = decoder_step(decoder_);
    const uint8_t *packet = decoder_->last_packet;
    FUZZ_REQUIRE(packet == nullptr ? type == 0 : type == packet[0]);
    return packet;
  }

  // Stream bytes the receiver has taken out of its ring.
  std::size_t consumed() const { return written_ - static_cast<std::size_t>(ring_count(ring_)); }

  // The same counts and receive state, and for decoders the same records. Records are compared
  // as bytes: both decoders began as zero bytes, padding included, and set fields alike.
  bool same_state(const Receiver &other) const {
    const PacketFramer &a = *framer_;
    const PacketFramer &b = *other.framer_;
    const bool framers_agree = a.errors == b.errors && framer_pending(&a) == framer_pending(&b) &&
                               a.sum_a == b.sum_a && a.sum_b == b.sum_b;
    return framers_agree &&
           (decoder_ == nullptr ||
            std::memcmp(decoder_, other.decoder_, offsetof(PacketDecoder, input)) == 0);
  }

 private:
  ByteRing *ring_ = nullptr;
  PacketDecoder *decoder_ = nullptr;
  PacketFramer *framer_ = nullptr;
  std::size_t written_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  FuzzInput input(data, size);
  const unsigned ring_size = 2u + input.u16() % 1023u;
  const uint16_t receiver = input.u16();
  const int max_length = receiver < 0x8000 ? kDecoderMaxLength : receiver % 300;
  const std::vector<uint16_t> chunks = input.u16_list();
  const Bytes bytes = fuzz_capture(input);
  const uint8_t *stream = bytes.data();
  const std::size_t stream_size = bytes.size();

  Receiver chunked(ring_size, max_length);
  Receiver reference(kReferenceRing, max_length);
  std::size_t reference_fed = 0;
  // The reference's next packet, fed as much as its ring takes whenever it has none; null once
  // the stream is all fed and taken.
  const auto reference_next = [&]() -> const uint8_t * {
    for (;;) {
      if (const uint8_t *packet = reference.next()) return packet;
      const std::size_t room = kReferenceRing - 1 - (reference_fed - reference.consumed());
      const std::size_t n = std::min(room, stream_size - reference_fed);
      if (n == 0) return nullptr;
      reference.write(stream + reference_fed, n);
      reference_fed += n;
    }
  };
  for (std::size_t i = 0, at = 0; at < stream_size; ++i) {
    const std::size_t n = std::min(cycle_size(chunks, i, ring_size - 1), stream_size - at);
    chunked.write(stream + at, n);
    at += n;
    while (const uint8_t *packet = chunked.next()) {
      const uint8_t *expected = reference_next();
      FUZZ_REQUIRE(expected != nullptr);
      FUZZ_REQUIRE(reference.consumed() == chunked.consumed());
      FUZZ_REQUIRE(std::memcmp(packet, expected, 2u + packet[1]) == 0);
      FUZZ_REQUIRE(chunked.same_state(reference));
    }
    FUZZ_REQUIRE(chunked.consumed() == at);
  }
  FUZZ_REQUIRE(reference_next() == nullptr);
  FUZZ_REQUIRE(chunked.same_state(reference));
  return 0;
}
