// Decides which packet comes when: type 10 on every 10 ms tick, types 12, 1, 20, 15 and 2 on
// fewer ticks, the other catalogue types now and then.
#ifndef CAPGEN_SRC_SCHEDULE_H
#define CAPGEN_SRC_SCHEDULE_H

#include <array>
#include <cstddef>
#include <cstdint>

#include "capgen/instrument/rng.h"
#include "capgen/recording/type_set.h"

namespace capgen {

class Schedule {
 public:
  // Types with a fixed period: 10, 12, 1, 20, 15 and 2.
  static constexpr std::size_t kRegularTypes = 6;

  // Schedules only packets of types in types, which must hold at least one catalogue type.
  Schedule(uint64_t seed, const TypeSet &types);

  // The type of the next packet; clock_ms() then tells the time it is due.
  uint8_t next();

  // Milliseconds since the recording started, wrapping after 2^32.
  uint32_t clock_ms() const { return clock_ms_; }

 private:
  // Moves on by one tick and lists the packets due on it.
  void start_tick();

  Rng rng_;
  TypeSet types_;
  uint32_t clock_ms_ = 0;
  std::array<uint32_t, kRegularTypes>
      ticks_to_due_{};  // per regular type, ticks until its next packet
  std::array<uint8_t, 8> due_{};
  std::size_t due_count_ = 0;
  std::size_t due_next_ = 0;
};

}  // namespace capgen

#endif  // CAPGEN_SRC_SCHEDULE_H
