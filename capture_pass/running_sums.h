// running_sums.h - the framer's two running sums (a += byte, then b += a) before each byte of
// the window, taken as far as asked, so that the checksums of any packet in it come from a few
// look-ups, however many packets a byte lies in. The sums start over wherever nothing before is
// needed: only their differences count.
#ifndef CAPTURE_PASS_RUNNING_SUMS_H
#define CAPTURE_PASS_RUNNING_SUMS_H

#include <protolib/wire.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace capture_pass {

class RunningSums {
 public:
  // The longest stretch whose checksums are asked for: a packet's type, length and payload.
  static constexpr std::size_t kLongestStretch = WIRE_MAX_PAYLOAD + 2;

  // The sums taken, for look-ups: valid until the next start_over or reach. A stretch asked
  // for lies between where the sums last started over and reached().
  struct Taken {
    const uint8_t *a;  // before each index
    const uint8_t *b;
    const uint8_t *a_less_byte;  // a before each index less the byte there
    // Whether the byte at to is checksum A of the bytes [from, to), their sum.
    bool byte_is_a_of(std::size_t from, std::size_t to) const { return a[from] == a_less_byte[to]; }
    // Checksum B of the bytes [from, to): the sum of the running a over them, which starts at
    // a's value before them.
    uint8_t b_over(std::size_t from, std::size_t to) const {
      return static_cast<uint8_t>(b[to] - b[from] - static_cast<uint8_t>(to - from) * a[from]);
    }
  };

  // Forgets the sums taken: the bytes are now bytes[0, size), and only index 0 is reached.
  void start_over(const uint8_t *bytes, std::size_t size);

  // Takes the sums before each index through `to` at least (through the size, when less),
  // summing on from reached() or, when from lies beyond it, starting over at from. from is
  // never less than the from of the call before.
  void reach(std::size_t from, std::size_t to);

  // The sums before each index from the last start over through this one are taken; checksum
  // B's only through b_reached().
  std::size_t reached() const { return reached_; }

  // Takes the sums checksum B needs through `to` at least (through reached(), when less): they
  // are summed only where checksum A matches, so most bytes never need them.
  void reach_b(std::size_t to);
  std::size_t b_reached() const { return b_reached_; }

  Taken taken() const { return {a_.data(), b_.data(), a_less_byte_.data()}; }

  // Bytes summed since creation: after each start_over, each byte once at most.
  uint64_t bytes_summed() const { return bytes_summed_; }

 private:
  const uint8_t *bytes_ = nullptr;
  std::size_t size_ = 0;
  std::vector<uint8_t> a_;
  std::vector<uint8_t> b_;
  std::vector<uint8_t> a_less_byte_;
  std::size_t reached_ = 0;
  std::size_t b_reached_ = 0;
  uint64_t bytes_summed_ = 0;
};

}  // namespace capture_pass

#endif  // CAPTURE_PASS_RUNNING_SUMS_H
