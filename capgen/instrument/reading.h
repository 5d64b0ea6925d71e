// One catalogue type's latest reading in the simulated instrument, and the walk that applies a
// behaviour's steps (steps.h) to it through the catalogue's layout: first the record's steps,
// then the same entry steps for each counted entry in turn, at the start every entry up to the
// capacity, in motion the first count.
#ifndef CAPGEN_SRC_READING_H
#define CAPGEN_SRC_READING_H

#include <protolib/catalogue.hpp>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <tuple>
#include <type_traits>
#include <utility>

#include "capgen/instrument/layout_facts.h"
#include "capgen/instrument/rng.h"
#include "capgen/instrument/steps.h"

namespace capgen {

// The integer a floating-point field follows (see Unit).
using Track = int32_t;

// The tracks of one record or entry, one for each floating-point scalar.
template <typename Owner>
using Tracks = std::array<Track, floating_scalars_before<Owner>(kFieldCount<Owner>)>;

namespace reading_detail {

template <typename Record>
constexpr auto entry_tracks() {
  if constexpr (kHasEntries<Record>) {
    using Counted = std::decay_t<decltype(counted_entries<Record>())>;
    return std::array<Tracks<typename Counted::EntryType>, Counted::kCapacity>{};
  } else {
    return std::array<Tracks<Record>, 0>{};
  }
}

}  // namespace reading_detail

template <typename Record>
struct Reading {
  Record record{};
  Tracks<Record> tracks{};
  // Of each counted entry.
  decltype(reading_detail::entry_tracks<Record>()) entry_tracks{};
};

namespace reading_detail {

enum class Phase : uint8_t { kStart, kMotion };

// What steps draw on besides their field.
struct StepContext {
  Rng &rng;
  uint32_t clock_ms;
  std::size_t index;  // of the entry being moved
};

// True when a behaviour's list (of steps or units) is of Item, as a list of Owner's must be.
template <typename Item, typename List>
inline constexpr bool kListOf = std::is_same_v<typename List::value_type, Item>;

// Owner's behaviour's steps of phase P; none where it lists none.
template <typename Owner, typename Behaviour, Phase P>
constexpr auto steps_of() {
  if constexpr (P == Phase::kStart && requires { Behaviour::kStart; }) {
    static_assert(kListOf<Step<Owner>, decltype(Behaviour::kStart)>,
                  "start steps name members of another record or entry");
    return Behaviour::kStart;
  } else if constexpr (P == Phase::kMotion && requires { Behaviour::kMotion; }) {
    static_assert(kListOf<Step<Owner>, decltype(Behaviour::kMotion)>,
                  "motion steps name members of another record or entry");
    return Behaviour::kMotion;
  } else {
    return std::array<Step<Owner>, 0>{};
  }
}

// The unit of Owner's floating-point field at position: as the behaviour lists it, or 1.
template <typename Owner, typename Behaviour>
constexpr double unit_of(std::size_t position) {
  if constexpr (requires { Behaviour::kUnits; }) {
    static_assert(kListOf<Unit<Owner>, decltype(Behaviour::kUnits)>,
                  "units name members of another record or entry");
    for (const Unit<Owner> &listed : Behaviour::kUnits) {
      if (listed.field == position) return listed.unit;
    }
  }
  return 1;
}

// now with step's action A done to it, within [lowest, highest] where the action keeps a range.
template <Action A, typename T, typename Owner>
T acted(T now, const Step<Owner> &step, StepContext &context, int64_t lowest, int64_t highest) {
  Rng &rng = context.rng;
  if constexpr (A == Action::kClock) {
    return static_cast<T>(context.clock_ms / step.n);
  } else if constexpr (A == Action::kCountUp) {
    return static_cast<T>(now + 1);
  } else if constexpr (A == Action::kWalk) {
    return static_cast<T>(std::clamp(now + rng.between(-step.n, step.n), std::max(step.low, lowest),
                                     std::min(step.high, highest)));
  } else if constexpr (A == Action::kFlicker) {
    static_assert(std::is_unsigned_v<T>, "only unsigned fields flicker");
    const uint64_t bits = rng.next();
    if ((bits & 1023) == 0) return static_cast<T>(now ^ (1u << ((bits >> 10) & 7)));
    return now;
  } else if constexpr (A == Action::kCreep) {
    return static_cast<T>(now + rng.below(static_cast<uint64_t>(step.n)));
  } else if constexpr (A == Action::kBelow) {
    return static_cast<T>(rng.below(static_cast<uint64_t>(step.n)));
  } else if constexpr (A == Action::kBetween) {
    return static_cast<T>(rng.between(step.low, step.high));
  } else if constexpr (A == Action::kTopBits) {
    return static_cast<T>(rng.next() >> (64 - step.n));
  } else if constexpr (A == Action::kIndexPlus) {
    return static_cast<T>(context.index + static_cast<std::size_t>(step.n));
  } else {
    static_assert(A == Action::kSet);
    return static_cast<T>(step.n);
  }
}

// Element e of owner's field member: the scalar itself, or an array's element.
template <typename Owner, typename T>
T &element_at(Owner &owner, T Owner::*member, std::size_t) {
  return owner.*member;
}
template <typename Owner, typename T, std::size_t N>
T &element_at(Owner &owner, T (Owner::*member)[N], std::size_t e) {
  return (owner.*member)[e];
}

// Applies step I of Behaviour's phase P to owner.
template <typename Owner, typename Behaviour, Phase P, std::size_t I>
void apply_step(Owner &owner, Tracks<Owner> &tracks, StepContext &context) {
  constexpr Step<Owner> kStep = steps_of<Owner, Behaviour, P>()[I];
  constexpr Target<Owner> kTarget = kStep.target;
  static_assert(sound(kStep), "a step's numbers do not suit its action");
  static_assert(kTarget.field < kFieldCount<Owner>, "a step names a position past the fields");
  static_assert(
      kStep.action != Action::kIndexPlus || !requires { protolib::Layout<Owner>::kType; },
      "only entries have an index");
  constexpr const auto &kDescription = std::get<kTarget.field>(fields_of<Owner>());
  using Description = std::decay_t<decltype(kDescription)>;
  if constexpr (protolib::CountedDescription<Description>) {
    static_assert(kTarget.first == 0 && (kTarget.last == 0 || kTarget.last == kLastElement),
                  "a count byte has one element");
    uint8_t &count = owner.*kDescription.count;
    count = acted<kStep.action>(count, kStep, context, 0, Description::kCapacity);
  } else {
    using Element = typename Description::Element;
    constexpr std::size_t kLast =
        kTarget.last == kLastElement ? Description::kLength - 1 : kTarget.last;
    static_assert(kTarget.first <= kLast && kLast < Description::kLength,
                  "a step names elements past the field's end");
    for (std::size_t e = kTarget.first; e <= kLast; ++e) {
      Element &value = element_at(owner, kDescription.member, e);
      if constexpr (std::is_floating_point_v<Element>) {
        Track &track = tracks[floating_scalars_before<Owner>(kTarget.field) + e];
        track = acted<kStep.action>(track, kStep, context, std::numeric_limits<Track>::min(),
                                    std::numeric_limits<Track>::max());
        if constexpr (P == Phase::kMotion) {
          value = static_cast<Element>(track) *
                  static_cast<Element>(unit_of<Owner, Behaviour>(kTarget.field));
        }
      } else {
        value = acted<kStep.action>(value, kStep, context, std::numeric_limits<Element>::min(),
                                    std::numeric_limits<Element>::max());
      }
    }
  }
}

template <typename Owner, typename Behaviour, Phase P, std::size_t... I>
void apply_steps_at(Owner &owner, Tracks<Owner> &tracks, StepContext &context,
                    std::index_sequence<I...>) {
  (apply_step<Owner, Behaviour, P, I>(owner, tracks, context), ...);
}

template <typename Owner, typename Behaviour, Phase P>
void apply_steps(Owner &owner, Tracks<Owner> &tracks, StepContext &context) {
  apply_steps_at<Owner, Behaviour, P>(
      owner, tracks, context, std::make_index_sequence<steps_of<Owner, Behaviour, P>().size()>{});
}

template <template <typename> class BehaviourOf, Phase P, typename Record>
void advance(Reading<Record> &reading, StepContext context) {
  apply_steps<Record, BehaviourOf<Record>, P>(reading.record, reading.tracks, context);
  if constexpr (kHasEntries<Record>) {
    constexpr const auto &kCounted = counted_entries<Record>();
    using Counted = std::decay_t<decltype(kCounted)>;
    using Entry = typename Counted::EntryType;
    const std::size_t moved =
        P == Phase::kStart
            ? Counted::kCapacity
            : std::min<std::size_t>(reading.record.*kCounted.count, Counted::kCapacity);
    for (std::size_t i = 0; i < moved; ++i) {
      context.index = i;
      apply_steps<Entry, BehaviourOf<Entry>, P>((reading.record.*kCounted.entries)[i],
                                                reading.entry_tracks[i], context);
    }
  }
}

}  // namespace reading_detail

// Sets reading's starting point with the start steps of BehaviourOf<Record> and its entries'.
template <template <typename> class BehaviourOf, typename Record>
void set_start(Reading<Record> &reading, Rng &rng) {
  reading_detail::advance<BehaviourOf, reading_detail::Phase::kStart>(reading, {rng, 0, 0});
}

// Moves reading on to the time clock_ms with the motion steps of BehaviourOf<Record> and its
// entries'.
template <template <typename> class BehaviourOf, typename Record>
void move_on(Reading<Record> &reading, Rng &rng, uint32_t clock_ms) {
  reading_detail::advance<BehaviourOf, reading_detail::Phase::kMotion>(reading, {rng, clock_ms, 0});
}

}  // namespace capgen

#endif  // CAPGEN_SRC_READING_H
