// packet_clock.h - time from a clock the user names: a scalar integer field of a catalogue type
// that counts ticks of a known length. A capture has no timestamps of its own; a packet's time
// is the clock's latest value at or before it, the latest-value rule the listers use for
// records, in seconds.
#ifndef CAPTURE_PASS_PACKET_CLOCK_H
#define CAPTURE_PASS_PACKET_CLOCK_H

#include <protolib/catalogue.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace capture_pass {

struct NamedClock {
  std::string name;             // as the user gave it: TYPE.FIELD[:UNIT]
  uint8_t type;                 // the catalogue type whose packets carry the clock
  protolib::ScalarField field;  // the integer field that counts the ticks
  double seconds_per_tick;
  // Ticks a second when that is a whole number, else 0. Dividing by it keeps decimal ticks
  // decimal: 12345 ms is 12.345 s, not 12.345000000000001.
  double ticks_per_second;
  // k when a tick is 10^-k seconds (k from 0 to 9: s, ms, us, ns, ...), else -1.
  int decimals;

  // ticks in seconds.
  double seconds(uint64_t ticks) const {
    return ticks_per_second > 0 ? static_cast<double>(ticks) / ticks_per_second
                                : static_cast<double>(ticks) * seconds_per_tick;
  }
};

struct ClockParse {
  std::optional<NamedClock> clock;
  std::string error;  // why text names no clock, naming the valid fields; empty with a clock
};

// Reads TYPE.FIELD[:UNIT]: a catalogue type, one of its scalar integer fields, and the tick:
// ns, us, ms, s or a positive number of seconds (default s).
ClockParse parse_clock(std::string_view text);

// Where the clock stands after one clock packet.
struct ClockTick {
  bool first;      // the first clock packet: no step before it
  bool reset;      // the clock went back by less than half its range: counted, taken as no step
  uint32_t steps;  // ticks since the clock packet before; 0 for the first and for a reset
  uint64_t ticks;  // the unwrapped count after it
};

// Follows the clock through a capture in order. The raw count is unwrapped by the field's width
// (a step forward of less than half the range past the top is a wrap); a step back of less than
// half the range is a reset, after which time goes on from the value before it, so time never
// goes back. Only exact packets of the clock's type move it.
class PacketClock {
 public:
  explicit PacketClock(const NamedClock &named);

  // Moves the clock when packet (type byte, length byte L, L payload bytes) is an exact packet
  // of the clock's type; returns what it did then, nothing for any other packet.
  std::optional<ClockTick> observe(const uint8_t *packet) {
    if (packet[0] != named_.type) return std::nullopt;  // most packets: no call
    return observe_own_type(packet);
  }

  // True once a clock packet was seen: before it, packets have no time.
  bool started() const { return started_; }
  // The time in seconds of a packet now: the unwrapped count times the tick. Needs started().
  double now() const { return now_; }
  // The time of the first clock packet. Needs started().
  double first() const { return named_.seconds(first_ticks_); }
  // The unwrapped count now. Needs started().
  uint64_t ticks() const { return ticks_; }
  // Ticks since the first clock packet. Needs started().
  uint64_t ticks_since_first() const { return ticks_ - first_ticks_; }
  uint64_t resets() const { return resets_; }
  const NamedClock &named() const { return named_; }

 private:
  NamedClock named_;
  uint32_t modulus_mask_ = 0;  // the field's range less one
  bool started_ = false;
  uint32_t raw_ = 0;  // the last raw count
  // observe() for a packet of the clock's type.
  std::optional<ClockTick> observe_own_type(const uint8_t *packet);

  uint64_t ticks_ = 0;  // the unwrapped count
  double now_ = 0;      // ticks_ in seconds, worked out once per step
  uint64_t first_ticks_ = 0;
  uint64_t resets_ = 0;
};

}  // namespace capture_pass

#endif  // CAPTURE_PASS_PACKET_CLOCK_H
