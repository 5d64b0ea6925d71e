// time_text.h - a packet's time as the listings write it, formatted once per step of the clock
// rather than once per line: the clock's seconds in fixed notation when a tick is a decimal
// fraction of a second (12345 ms is 12.345, 12000 ms is 12.0), else the shortest text that reads
// back as the same double. Either text reads back as exactly PacketClock::now().
#ifndef CAPDUMP_SRC_TIME_TEXT_H
#define CAPDUMP_SRC_TIME_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "capture_pass/packet_clock.h"
#include "io/number_text.h"

namespace capdump {

class TimeText {
 public:
  // The text of clock's time now; clock must have started. Valid until the next call.
  std::string_view of(const capture_pass::PacketClock &clock) {
    if (size_ == 0 || clock.ticks() != ticks_) format(clock);
    return {text_, size_};
  }

 private:
  void format(const capture_pass::PacketClock &clock);

  uint64_t ticks_ = 0;
  std::size_t size_ = 0;  // 0 until the first text
  char text_[io::kMaxNumberText + 2]{};
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_TIME_TEXT_H
