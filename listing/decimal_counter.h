// decimal_counter.h - a count kept as its decimal text, for a running count printed at every
// step: counting up touches the last digit (and a carry now and then), and writing the text is
// one copy of fixed length.
#ifndef LISTING_DECIMAL_COUNTER_H
#define LISTING_DECIMAL_COUNTER_H

#include <cstddef>
#include <cstring>

namespace listing {

class DecimalCounter {
 public:
  // The most characters put() writes at out, some of them beyond the position it returns.
  static constexpr std::size_t kMaxPut = 24;

  // Adds one to the count, which starts at 0 and goes up to 10^20 - 1.
  void increment() {
    std::size_t at = kLast;
    while (text_[at] == '9') text_[at--] = '0';
    ++text_[at];
    if (at < first_) first_ = at;
  }

  // Writes the count in decimal, then terminator; returns the position after them.
  char *put(char *out, char terminator) const {
    std::memcpy(out, text_ + first_, kMaxPut);
    out += kLast + 1 - first_;
    *out++ = terminator;
    return out;
  }

 private:
  static constexpr std::size_t kLast = 19;  // the units digit: 20 digits in all

  // The digits, right-aligned with '0' before the first, then room for put()'s fixed-length copy.
  char text_[kLast + 1 + kMaxPut] = "00000000000000000000";
  std::size_t first_ = kLast;  // the most significant digit of the count
};

}  // namespace listing

#endif  // LISTING_DECIMAL_COUNTER_H
