// How the simulated instrument moves each catalogue type: where its readings start and how each
// packet moves them on, written as steps (steps.h) over the positions of the fields in the
// catalogue's layout. Behaviour<Owner> is the behaviour of a record or entry; one with no table
// here moves as GenericBehaviour does; a table without kStart, kMotion or kUnits has no start
// steps, no motion, or whole units. The comment above each table names what its positions
// hold. Changing a table, or the order of its steps, changes the captures every seed gives.
#ifndef CAPGEN_SRC_BEHAVIOUR_H
#define CAPGEN_SRC_BEHAVIOUR_H

#include <protolib/decoder.h>

#include "capgen/instrument/generic_behaviour.h"
#include "capgen/instrument/steps.h"

namespace capgen {

template <typename Owner>
struct Behaviour : GenericBehaviour<Owner> {};

// 0 time, 1 packet counter, 2 a temperature-like reading.
template <>
struct Behaviour<Type1Record> {
  static constexpr auto kStart = steps(draw_between(field(2), 1500, 3000));
  static constexpr auto kMotion = steps(clock_ms(field(0)), count_up(field(1)), walk(field(2), 20));
};

// 0 sequence number, 1 nine readings, 2 status.
template <>
struct Behaviour<Type2Record> {
  static constexpr auto kStart = steps(walk(field(1), 2000));
  static constexpr auto kMotion = steps(count_up(field(0)), walk(field(1), 8), flicker(field(2)));
};

// 0 time, 1 three readings, 2 packet counter.
template <>
struct Behaviour<Type3Record> {
  static constexpr auto kStart = steps(walk(field(1), 4000));
  static constexpr auto kMotion = steps(clock_ms(field(0)), walk(field(1), 50), count_up(field(2)));
};

// 0 nine readings, 1 four event counters, 2 packet counter, 3 time in seconds.
template <>
struct Behaviour<Type9Record> {
  static constexpr auto kStart = steps(walk(field(0), 1000), draw_below(field(3), 1 << 20));
  static constexpr auto kMotion =
      steps(walk(field(0), 5), creep(field(1), 4), count_up(field(2)), clock_ms(field(3), 1000));
};

// 0 time, 1 nine readings, 2 four positions, 3 packet counter.
template <>
struct Behaviour<Type10Record> {
  static constexpr auto kStart = steps(walk(field(1), 1000), walk(field(2), 100000000));
  static constexpr auto kMotion =
      steps(clock_ms(field(0)), walk(field(1), 40), walk(field(2), 200), count_up(field(3)));
};

// 0 time, 1 six positions, 2 status.
template <>
struct Behaviour<Type12Record> {
  static constexpr auto kStart = steps(walk(field(1), 1000000));
  static constexpr auto kMotion =
      steps(clock_ms(field(0)), walk(field(1), 1000), flicker(field(2)));
};

// 0 time, 1 six supply levels, 2 status.
template <>
struct Behaviour<Type15Record> {
  static constexpr auto kStart = steps(draw_between(field(1), 11000, 13000));
  static constexpr auto kMotion = steps(clock_ms(field(0)), walk(field(1), 3), flicker(field(2)));
};

// 0 time, 1 a fixed setting, 2 packet counter, 3 six coordinates, 4 three precisions.
template <>
struct Behaviour<Type20Record> {
  static constexpr auto kStart = steps(draw_between(field(1), 2000, 2400), top_bits(field(3), 28),
                                       draw_between(field(4), 80, 200));
  static constexpr auto kMotion =
      steps(clock_ms(field(0)), count_up(field(2)), walk(field(3), 30), walk(field(4), 2));
};

// 0 time, 1 packet counter, 2 the entries in view.
template <>
struct Behaviour<Type21Record> {
  static constexpr auto kStart = steps(draw_between(field(2), 4, TYPE21_CAPACITY));
  static constexpr auto kMotion = steps(clock_ms(field(0)), count_up(field(1)), walk(field(2), 1));
};

// 0 an identifier: the entry's number from 1, then five fixed bytes, the last a status; 1 a
// reading. The reading moves before the status.
template <>
struct Behaviour<Type21Entry> {
  static constexpr auto kStart =
      steps(index_plus(element(0, 0), 1), top_bits(elements(0, 1, 5), 8));
  static constexpr auto kMotion = steps(walk(field(1), 30), flicker(element(0, 5)));
};

// 0 time, 1 packet counter, 2 status, 3 the entries in view.
template <>
struct Behaviour<Type22Record> {
  static constexpr auto kStart = steps(draw_between(field(3), 2, TYPE22_CAPACITY));
  static constexpr auto kMotion =
      steps(clock_ms(field(0)), count_up(field(1)), flicker(field(2)), walk(field(3), 1));
};

// 0 and 1 a position in degrees, 2 a level, 3 the entry's index and a slowly changing byte.
template <>
struct Behaviour<Type22Entry> {
  static constexpr auto kStart =
      steps(draw_between(field(0), -900000000, 900000000),
            draw_between(field(1), -1800000000, 1800000000), draw_between(field(2), 0, 5000),
            index_plus(element(3, 0), 0));
  static constexpr auto kMotion =
      steps(walk(field(0), 50), walk(field(1), 50), walk(field(2), 20), walk(element(3, 1), 2));
  static constexpr auto kUnits = units(Unit{0, 1e-7}, Unit{1, 1e-7}, Unit{2, 0.01});
};

// 0 time, 1 and 2 two offsets, 3 a growing total, 4 time in seconds.
template <>
struct Behaviour<Type23Record> {
  static constexpr auto kMotion =
      steps(clock_ms(field(0)), walk(field(1), 500), walk(field(2), 500), creep(field(3), 100),
            clock_ms(field(4), 1000));
};

// 0 time, 1 packet counter, 2 a reading, 3 six identifier bytes, the last a status.
template <>
struct Behaviour<Type25Record> {
  static constexpr auto kStart = steps(top_bits(field(3), 8));
  static constexpr auto kMotion =
      steps(clock_ms(field(0)), count_up(field(1)), walk(field(2), 10), flicker(element(3, 5)));
};

// 0 time, 1 a version, a setting and an event code.
template <>
struct Behaviour<Type26Record> {
  static constexpr auto kStart = steps(set_to(element(1, 0), 3), draw_below(element(1, 1), 10));
  static constexpr auto kMotion = steps(clock_ms(field(0)), draw_below(element(1, 2), 16));
};

// 0 time, 1 packet counter, 2 and 3 two readings, 4 two bytes, the second a status.
template <>
struct Behaviour<Type27Record> {
  static constexpr auto kMotion = steps(clock_ms(field(0)), count_up(field(1)), walk(field(2), 100),
                                        walk(field(3), 5), flicker(element(4, 1)));
};

}  // namespace capgen

#endif  // CAPGEN_SRC_BEHAVIOUR_H
