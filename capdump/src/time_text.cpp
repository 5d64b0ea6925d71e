#include "capdump/src/time_text.h"

namespace capdump {

namespace {

// Counts below this have at most 15 significant digits, which a double keeps exactly: their
// decimal text reads back as the double nearest to them.
constexpr uint64_t kExactDigits = 1'000'000'000'000'000;

}  // namespace

void TimeText::format(const capture_pass::PacketClock &clock) {
  ticks_ = clock.ticks();
  const int decimals = clock.named().decimals;
  char *out = text_;
  if (decimals < 0 || ticks_ >= kExactDigits) {
    out = io::put_shortest(out, clock.now());
  } else {
    uint64_t scale = 1;
    for (int k = 0; k < decimals; ++k) scale *= 10;
    out = io::put_decimal(out, ticks_ / scale);
    *out++ = '.';
    uint64_t fraction = ticks_ % scale;
    if (fraction == 0) {
      *out++ = '0';
    } else {
      int digits = decimals;
      for (; fraction % 10 == 0; fraction /= 10) --digits;
      for (int k = digits - 1; k >= 0; --k, fraction /= 10) {
        out[k] = static_cast<char>('0' + fraction % 10);
      }
      out += digits;
    }
  }
  size_ = static_cast<std::size_t>(out - text_);
}

}  // namespace capdump
