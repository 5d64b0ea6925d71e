// The words the simulated instrument's behaviour is written in. A step names a field of a record
// or entry by its position in the catalogue's layout of that record or entry
// (protolib::Layout<Owner>::kFields), some of its elements, and what to do to each of them. A
// behaviour lists the steps that set a reading's starting point and the steps that move it on each
// time its packet is due; they run in the order listed, which is also the order they draw their
// random numbers in.
#ifndef CAPGEN_SRC_STEPS_H
#define CAPGEN_SRC_STEPS_H

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>

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

// What a step acts on: the field at position field of the owner's layout and, of an array, the
// elements first to last. A scalar, and the count byte of counted entries, is element 0.
struct Target {
  std::size_t field;
  std::size_t first = 0;
  std::size_t last = kLastElement;
};

// A whole field; one element of an array field; elements first to last of an array field.
constexpr Target field(std::size_t position) {
  return {position};
}
constexpr Target element(std::size_t position, std::size_t index) {
  return {position, index, index};
}
constexpr Target elements(std::size_t position, std::size_t first, std::size_t last) {
  return {position, first, last};
}

struct Step {
  Target target;
  Action action;
  int64_t n = 0;
  int64_t low = std::numeric_limits<int64_t>::min();
  int64_t high = std::numeric_limits<int64_t>::max();
};

constexpr Step clock_ms(Target target, int64_t divisor = 1) {
  return {target, Action::kClock, divisor};
}
constexpr Step count_up(Target target) {
  return {target, Action::kCountUp};
}
constexpr Step walk(Target target, int64_t step) {
  return {target, Action::kWalk, step};
}
constexpr Step walk(Target target, int64_t step, int64_t low, int64_t high) {
  return {target, Action::kWalk, step, low, high};
}
constexpr Step flicker(Target target) {
  return {target, Action::kFlicker};
}
constexpr Step creep(Target target, int64_t below) {
  return {target, Action::kCreep, below};
}
constexpr Step draw_below(Target target, int64_t below) {
  return {target, Action::kBelow, below};
}
constexpr Step draw_between(Target target, int64_t low, int64_t high) {
  return {target, Action::kBetween, 0, low, high};
}
constexpr Step top_bits(Target target, int64_t bits) {
  return {target, Action::kTopBits, bits};
}
constexpr Step index_plus(Target target, int64_t offset) {
  return {target, Action::kIndexPlus, offset};
}
constexpr Step set_to(Target target, int64_t value) {
  return {target, Action::kSet, value};
}

// True when step's numbers suit its action and the random numbers it draws: a divisor or bound
// from 1 to 2^32, 1 to 64 bits, a range that is not empty and spans less than 2^32.
constexpr bool sound(const Step &step) {
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
struct Unit {
  std::size_t field;
  double unit;
};

// A list of steps or units, possibly empty.
template <std::same_as<Step>... Steps>
constexpr std::array<Step, sizeof...(Steps)> steps(Steps... listed) {
  return {listed...};
}
template <std::same_as<Unit>... Units>
constexpr std::array<Unit, sizeof...(Units)> units(Units... listed) {
  return {listed...};
}

}  // namespace capgen

#endif  // CAPGEN_SRC_STEPS_H
