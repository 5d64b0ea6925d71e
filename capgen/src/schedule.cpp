// The recording's timetable: fixed periods for the regular types, one draw per tick for the rest.
#include "schedule.h"

namespace capgen {

namespace {

constexpr uint32_t kTickMs = 10;

struct Regular {
  uint8_t type;
  uint32_t period_ticks;
  uint32_t first_tick;  // 1 to period_ticks; spreads the types over the ticks of one period
};
constexpr std::array<Regular, Schedule::kRegularTypes> kRegular = {
    {{10, 1, 1}, {12, 5, 2}, {1, 10, 10}, {20, 10, 5}, {15, 20, 7}, {2, 50, 25}}};

// Chance per tick, in thousandths, of one packet of each occasional type.
struct Occasional {
  uint8_t type;
  uint32_t per_mille;
};
constexpr Occasional kOccasional[] = {{3, 10},  {9, 5},  {21, 10}, {22, 4},
                                      {23, 10}, {25, 2}, {26, 3},  {27, 2}};

}  // namespace

Schedule::Schedule(uint64_t seed, const TypeSet &types) : rng_(seed), types_(types) {
  for (std::size_t i = 0; i < kRegular.size(); ++i) ticks_to_due_[i] = kRegular[i].first_tick;
}

uint8_t Schedule::next() {
  while (due_next_ == due_count_) start_tick();
  return due_[due_next_++];
}

void Schedule::start_tick() {
  clock_ms_ += kTickMs;
  due_count_ = 0;
  due_next_ = 0;
  for (std::size_t i = 0; i < kRegular.size(); ++i) {
    if (--ticks_to_due_[i] > 0) continue;
    ticks_to_due_[i] = kRegular[i].period_ticks;
    if (types_[kRegular[i].type]) due_[due_count_++] = kRegular[i].type;
  }
  uint32_t draw = rng_.below(1000);
  for (const Occasional &o : kOccasional) {
    if (draw < o.per_mille) {
      if (types_[o.type]) due_[due_count_++] = o.type;
      break;
    }
    draw -= o.per_mille;
  }
}

}  // namespace capgen
