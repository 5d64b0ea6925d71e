// The recording's timetable: fixed periods for the regular types, one draw per tick for the rest.
#include "capgen/recording/schedule.h"

#include <protolib/catalogue.hpp>

#include <iterator>

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
constexpr Occasional kNamedOccasional[] = {{3, 10},  {9, 5},  {21, 10}, {22, 4},
                                           {23, 10}, {25, 2}, {26, 3},  {27, 2}};

// The chance per tick of a catalogue type named in neither table, so that every catalogue type
// can be generated, one new to the catalogue included.
constexpr uint32_t kUnnamedPerMille = 2;

constexpr bool named(uint8_t type) {
  for (const Regular &r : kRegular) {
    if (r.type == type) return true;
  }
  for (const Occasional &o : kNamedOccasional) {
    if (o.type == type) return true;
  }
  return false;
}

// The named occasional types, then the unnamed catalogue types; unused places never come up.
constexpr auto kOccasional = [] {
  std::array<Occasional, std::size(kNamedOccasional) + protolib::kCatalogueTypes.size()> all{};
  std::size_t n = 0;
  for (const Occasional &o : kNamedOccasional) all[n++] = o;
  for (const uint8_t type : protolib::kCatalogueTypes) {
    if (!named(type)) all[n++] = {type, kUnnamedPerMille};
  }
  return all;
}();

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
