// Framer and decoder over arbitrary bytes fed in chunks the input chooses, against a reference
// framing of the whole stream one byte at a time, written here from <protolib/wire.h> and
// <protolib/framer.h> alone: the receiver must complete the reference's packets (type, length,
// payload) in order, each at the stream position just past its checksum B, with the reference's
// error count and receive state then (bytes pending, both running sums), and a decoder must
// hold the records the reference's packets decode to; at the end both must be in the same
// receive state with no packet left over. A framer that has completed a packet has taken no
// byte past it, so the position is exact however far ahead the receiver was fed.
//
// Input: a u16 ring size (2 + n % 1023 bytes); a u16 receiver choice (below 0x8000 a decoder,
// otherwise a bare framer with max_length n % 300); a count byte and that many u16 chunk sizes
// (1 + n % (ring size - 1), used in turn; none: ring size - 1); then the stream as fuzz_capture
// reads it.
#include <protolib/decoder.h>
#include <protolib/catalogue.hpp>

#include <array>
#include <climits>
#include <cstddef>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_capture.h"

namespace {

constexpr int kDecoderMaxLength = FRAMER_ACCEPT_EVERY_LENGTH;  // what a decoder's framer takes

// A framer's receive state as framer_pending and its fields show it.
struct FramerState {
  int32_t errors = 0;
  int32_t pending = 0;
  uint8_t sum_a = 0;
  uint8_t sum_b = 0;

  bool operator==(const FramerState &) const = default;
};

// Frames a whole stream one byte at a time: hunt for the first sync byte, then for the second
// (other bytes, the first sync byte included, are skipped); take type and length, rejecting a
// length above max_length; take the payload; accept when both checksum bytes equal the running
// sums, otherwise reject. A rejection counts one error (never past INT32_MAX) and hunting
// resumes with the next byte. The sums restart at the type byte and change only with the type,
// an accepted length and payload bytes. Type, length and payload bytes are stored in a buffer
// at 0, 1 and 2 on, rejected packets' too; a byte keeps its value until a later packet stores
// over it, and the buffer starts as zero bytes, as the framer's does.
class ReferenceFramer {
 public:
  ReferenceFramer(const uint8_t *stream, std::size_t size, int max_length)
      : stream_(stream), size_(size), max_length_(max_length) {}

  // Frames on to just past the next packet accepted and returns it (type, length, payload, in
  // the buffer), or null when the stream ends first.
  FUZZ_CHECKER const uint8_t *next() {
    while (at_ < size_) {
      const uint8_t byte = stream_[at_++];
      switch (step_) {
        case kSync1:
          if (byte == WIRE_SYNC1) {
            step_ = kSync2;
          } else {
            skip_to(WIRE_SYNC1);
          }
          break;
        case kSync2:
          if (byte == WIRE_SYNC2) {
            step_ = kType;
            state_.pending = 2;
          } else {
            skip_to(WIRE_SYNC2);
          }
          break;
        case kType:
          buffer_[0] = byte;
          stored_ = 1;
          state_.sum_a = state_.sum_b = byte;
          state_.pending = 3;
          step_ = kLength;
          break;
        case kLength:
          if (byte > max_length_) {
            reject();
            break;
          }
          buffer_[stored_++] = byte;
          add(byte);
          remaining_ = byte;
          step_ = remaining_ > 0 ? kPayload : kCheckA;
          break;
        case kPayload:
          buffer_[stored_++] = byte;
          add(byte);
          if (--remaining_ == 0) step_ = kCheckA;
          break;
        case kCheckA:
          if (byte != state_.sum_a) {
            reject();
            break;
          }
          ++state_.pending;
          step_ = kCheckB;
          break;
        case kCheckB:
          if (byte != state_.sum_b) {
            reject();
            break;
          }
          state_.pending = 0;
          step_ = kSync1;
          return buffer_.data();
      }
    }
    return nullptr;
  }

  // Stream bytes taken.
  std::size_t position() const { return at_; }
  FramerState state() const { return state_; }

 private:
  enum Step { kSync1, kSync2, kType, kLength, kPayload, kCheckA, kCheckB };

  FUZZ_CHECKER void add(uint8_t byte) {
    state_.sum_a = static_cast<uint8_t>(state_.sum_a + byte);
    state_.sum_b = static_cast<uint8_t>(state_.sum_b + state_.sum_a);
    ++state_.pending;
  }
  // Skips the bytes before the next one equal to sync, or all of them when none is.
  FUZZ_CHECKER void skip_to(uint8_t sync) {
    const void *found = std::memchr(stream_ + at_, sync, size_ - at_);
    at_ = found == nullptr
              ? size_
              : static_cast<std::size_t>(static_cast<const uint8_t *>(found) - stream_);
  }
  FUZZ_CHECKER void reject() {
    if (state_.errors < INT32_MAX) ++state_.errors;
    state_.pending = 0;
    step_ = kSync1;
  }

  const uint8_t *stream_;
  std::size_t size_;
  int max_length_;
  std::size_t at_ = 0;
  Step step_ = kSync1;
  uint8_t remaining_ = 0;
  std::size_t stored_ = 0;  // bytes of the packet in the buffer
  FramerState state_;
  // Type, length, 255 payload bytes, and room past them for a decoder's reads of the longest
  // layout, as the framer's buffer has.
  std::array<uint8_t, std::size_t{2} * FRAMER_ACCEPT_EVERY_LENGTH> buffer_{};
};

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

  FramerState state() const {
    return {framer_->errors, framer_pending(framer_), framer_->sum_a, framer_->sum_b};
  }

  // Whether a decoder's records are those of records, compared as bytes: both began as zero
  // bytes, padding included, and set fields alike.
  bool same_records(const PacketDecoder &records) const {
    return std::memcmp(decoder_, &records, offsetof(PacketDecoder, input)) == 0;
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

  ReferenceFramer reference(stream, stream_size, max_length);
  // For a decoder, the records the reference's packets decode to as far as it has got: all zero
  // bytes until its first packet, as a new decoder's are.
  PacketDecoder records;
  // cppcheck-suppress memsetClassFloat ; the bytes, not the values, are what is compared
  std::memset(&records, 0, sizeof records);
  const bool decoding = max_length == kDecoderMaxLength;

  Receiver chunked(ring_size, max_length);
  for (std::size_t i = 0, at = 0; at < stream_size; ++i) {
    const std::size_t n = std::min(cycle_size(chunks, i, ring_size - 1), stream_size - at);
    chunked.write(stream + at, n);
    at += n;
    while (const uint8_t *packet = chunked.next()) {
      const uint8_t *expected = reference.next();
      FUZZ_REQUIRE(expected != nullptr);
      FUZZ_REQUIRE(chunked.consumed() == reference.position());
      FUZZ_REQUIRE(std::memcmp(packet, expected, 2u + expected[1]) == 0);
      FUZZ_REQUIRE(chunked.state() == reference.state());
      if (decoding) {
        protolib::decode_into_slot(records, expected);
        FUZZ_REQUIRE(chunked.same_records(records));
      }
    }
    FUZZ_REQUIRE(chunked.consumed() == at);
  }
  FUZZ_REQUIRE(reference.next() == nullptr);
  FUZZ_REQUIRE(chunked.state() == reference.state());
  FUZZ_REQUIRE(!decoding || chunked.same_records(records));
  return 0;
}
