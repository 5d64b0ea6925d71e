// The words the simulated instrument's behaviour is written in. A step names a member of a record
// or entry (&Type10Record::words), some of its elements, and what to do to each of them; the
// member is found in the catalogue's layout of its owner when the step is compiled, so a member
// the layout does not describe does not compile, and a field added to a layout moves no step. A
// behaviour lists the steps that set a reading's starting point and the steps that move it on
// each time its packet is due; they run in the order listed, which is also the order they draw
// their random numbers in.
#ifndef CAPGEN_SRC_STEPS_H
#define CAPGEN_SRC_STEPS_H

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "capgen/instrument/layout_facts.h"

namespace capgen {

// What a step does to each element it names. On a count byte the type's range is the count's
// capacity. A floating-point field is moved through an integer track (see Unit): the actions
// then act on the track.
enum class Action : uint8_t {
  kClock,      // set to the clock in milliseconds divided by n
  kCountUp,    // add 1, wrapping round
  kWalk,       // add a number drawn from [-n, n], held within [low, high] and the type's range
  kFlicker,    // flip one of the low 8 bits one time in 1024; unsigned integers only
  kCreep,      // add a number drawn below n, wrapping round
  kBelow,      // set to a number drawn below n
  kBetween,    // set to a number drawn from [low, high]
  kTopBits,    // set to the top n bits of the next 64 random bits
  kIndexPlus,  // set to the entry's index in its record plus n; entries only
  kSet,        // set to n
};

// Stands for an array's last element.
inline constexpr std::size_t kLastElement = std::numeric_limits<std::size_t>::max();

// What a step on Owner acts on: the field at position field of Owner's layout and, of an array,
// the elements first to last. A scalar, and the count byte of counted entries, is element 0.
template <typename Owner>
struct Target {
  std::size_t field;
  std::size_t first = 0;
  std::size_t last = kLastElement;
};

// A whole field; one element of an array field; elements first to last of an array field. The
// member is a field of the layout of Owner, or the count byte of its counted entries.
template <typename Owner, typename Member>
consteval Target<Owner> field(Member Owner::*member) {
  return {position_of(member)};
}
template <typename Owner, typename Member>
consteval Target<Owner> element(Member Owner::*member, std::size_t index) {
  return {position_of(member), index, index};
}
template <typename Owner, typename Member>
consteval Target<Owner> elements(Member Owner::*member, std::size_t first, std::size_t last) {
  return {position_of(member), first, last};
}

template <typename Owner>
struct Step {
  Target<Owner> target;
  Action action;
  int64_t n = 0;
  int64_t low = std::numeric_limits<int64_t>::min();
  int64_t high = std::numeric_limits<int64_t>::max();
};

template <typename Owner>
constexpr Step<Owner> clock_ms(Target<Owner> target, int64_t divisor = 1) {
  return {target, Action::kClock, divisor};
}
template <typename Owner>
constexpr Step<Owner> count_up(Target<Owner> target) {
  return {target, Action::kCountUp};
}
template <typename Owner>
constexpr Step<Owner> walk(Target<Owner> target, int64_t step) {
  return {target, Action::kWalk, step};
}
template <typename Owner>
constexpr Step<Owner> walk(Target<Owner> target, int64_t step, int64_t low, int64_t high) {
  return {target, Action::kWalk, step, low, high};
}
template <typename Owner>
constexpr Step<Owner> flicker(Target<Owner> target) {
  return {target, Action::kFlicker};
}
template <typename Owner>
constexpr Step<Owner> creep(Target<Owner> target, int64_t below) {
  return {target, Action::kCreep, below};
}
template <typename Owner>
constexpr Step<Owner> draw_below(Target<Owner> target, int64_t below) {
  return {target, Action::kBelow, below};
}
template <typename Owner>
constexpr Step<Owner> draw_between(Target<Owner> target, int64_t low, int64_t high) {
  return {target, Action::kBetween, 0, low, high};
}
template <typename Owner>
constexpr Step<Owner> top_bits(Target<Owner> target, int64_t bits) {
  return {target, Action::kTopBits, bits};
}
template <typename Owner>
constexpr Step<Owner> index_plus(Target<Owner> target, int64_t offset) {
  return {target, Action::kIndexPlus, offset};
}
template <typename Owner>
constexpr Step<Owner> set_to(Target<Owner> target, int64_t value) {
  return {target, Action::kSet, value};
}

// True when step's numbers suit its action and the random numbers it draws: a divisor or bound
// from 1 to 2^32, 1 to 64 bits, a range that is not empty and spans less than 2^32.
template <typename Owner>
constexpr bool sound(const Step<Owner> &step) {
  constexpr int64_t kSpan = int64_t{1} << 32;
  switch (step.action) {
    case Action::kClock:
    case Action::kCreep:
    case Action::kBelow:
      return step.n >= 1 && step.n <= kSpan;
    case Action::kTopBits:
      return step.n >= 1 && step.n <= 64;
    case Action::kWalk:
      return step.n >= 0 && step.n < kSpan / 2 && step.low <= step.high;
    case Action::kBetween:
      return step.low <= step.high && step.high - step.low < kSpan;
    default:
      return true;
  }
}

// A floating-point field follows an integer track, which the steps on the field move: a start
// step places the track only, and every motion step on the field then sets it to the track times
// unit, one multiplication in the field's own precision, so every compiler rounds it alike. A
// field with no Unit listed counts in whole units.
template <typename Owner>
struct Unit {
  std::size_t field;  // its position in Owner's layout
  double unit;
};

// The unit of the floating-point field member.
template <typename Owner, std::floating_point Member>
consteval Unit<Owner> unit(Member Owner::*member, double size) {
  return {position_of(member), size};
}

// A list of one or more steps or units of one owner.
template <typename Owner, std::same_as<Step<Owner>>... More>
constexpr std::array<Step<Owner>, 1 + sizeof...(More)> steps(Step<Owner> first, More... more) {
  return {first, more...};
}
template <typename Owner, std::same_as<Unit<Owner>>... More>
constexpr std::array<Unit<Owner>, 1 + sizeof...(More)> units(Unit<Owner> first, More... more) {
  return {first, more...};
}

}  // namespace capgen

#endif  // CAPGEN_SRC_STEPS_H
