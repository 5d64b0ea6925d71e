// How the simulated instrument moves each catalogue type: where its readings start and how each
// packet moves them on, written as steps (steps.h) on the members of its record and entries.
// Behaviour<Owner> is the behaviour of a record or entry; one with no table here moves as
// GenericBehaviour does; a table without kStart, kMotion or kUnits has no start steps, no motion,
// or whole units. The comment above each table says what its members hold. Changing a table, or
// the order of its steps, changes the captures every seed gives.
#ifndef CAPGEN_SRC_BEHAVIOUR_H
#define CAPGEN_SRC_BEHAVIOUR_H

#include <protolib/decoder.h>

#include "capgen/instrument/generic_behaviour.h"
#include "capgen/instrument/steps.h"

namespace capgen {

template <typename Owner>
struct Behaviour : GenericBehaviour<Owner> {};

// lead the time, uword a packet counter, word a temperature-like reading.
template <>
struct Behaviour<Type1Record> {
  using R = Type1Record;
  static constexpr auto kStart = steps(draw_between(field(&R::word), 1500, 3000));
  static constexpr auto kMotion =
      steps(clock_ms(field(&R::lead)), count_up(field(&R::uword)), walk(field(&R::word), 20));
};

// lead a sequence number, words nine readings, tail a status.
template <>
struct Behaviour<Type2Record> {
  using R = Type2Record;
  static constexpr auto kStart = steps(walk(field(&R::words), 2000));
  static constexpr auto kMotion =
      steps(count_up(field(&R::lead)), walk(field(&R::words), 8), flicker(field(&R::tail)));
};

// lead the time, words three readings, tail a packet counter.
template <>
struct Behaviour<Type3Record> {
  using R = Type3Record;
  static constexpr auto kStart = steps(walk(field(&R::words), 4000));
  static constexpr auto kMotion =
      steps(clock_ms(field(&R::lead)), walk(field(&R::words), 50), count_up(field(&R::tail)));
};

// words nine readings, uwords four event counters, uword a packet counter, ulong the time in
// seconds.
template <>
struct Behaviour<Type9Record> {
  using R = Type9Record;
  static constexpr auto kStart =
      steps(walk(field(&R::words), 1000), draw_below(field(&R::ulong), 1 << 20));
  static constexpr auto kMotion =
      steps(walk(field(&R::words), 5), creep(field(&R::uwords), 4), count_up(field(&R::uword)),
            clock_ms(field(&R::ulong), 1000));
};

// lead the time, words nine readings, longs four positions, tail a packet counter.
template <>
struct Behaviour<Type10Record> {
  using R = Type10Record;
  static constexpr auto kStart =
      steps(walk(field(&R::words), 1000), walk(field(&R::longs), 100000000));
  static constexpr auto kMotion = steps(clock_ms(field(&R::lead)), walk(field(&R::words), 40),
                                        walk(field(&R::longs), 200), count_up(field(&R::tail)));
};

// lead the time, longs six positions, tail a status.
template <>
struct Behaviour<Type12Record> {
  using R = Type12Record;
  static constexpr auto kStart = steps(walk(field(&R::longs), 1000000));
  static constexpr auto kMotion =
      steps(clock_ms(field(&R::lead)), walk(field(&R::longs), 1000), flicker(field(&R::tail)));
};

// lead the time, uwords six supply levels, tail a status.
template <>
struct Behaviour<Type15Record> {
  using R = Type15Record;
  static constexpr auto kStart = steps(draw_between(field(&R::uwords), 11000, 13000));
  static constexpr auto kMotion =
      steps(clock_ms(field(&R::lead)), walk(field(&R::uwords), 3), flicker(field(&R::tail)));
};

// lead the time, uword_a a fixed setting, uword_b a packet counter, longs six coordinates,
// uwords three precisions.
template <>
struct Behaviour<Type20Record> {
  using R = Type20Record;
  static constexpr auto kStart =
      steps(draw_between(field(&R::uword_a), 2000, 2400), top_bits(field(&R::longs), 28),
            draw_between(field(&R::uwords), 80, 200));
  static constexpr auto kMotion = steps(clock_ms(field(&R::lead)), count_up(field(&R::uword_b)),
                                        walk(field(&R::longs), 30), walk(field(&R::uwords), 2));
};

// lead the time, info a packet counter, count the entries in view.
template <>
struct Behaviour<Type21Record> {
  using R = Type21Record;
  static constexpr auto kStart = steps(draw_between(field(&R::count), 4, TYPE21_CAPACITY));
  static constexpr auto kMotion =
      steps(clock_ms(field(&R::lead)), count_up(field(&R::info)), walk(field(&R::count), 1));
};

// bytes an identifier: the entry's number from 1, then five fixed bytes, the last a status; value
// a reading. The reading moves before the status.
template <>
struct Behaviour<Type21Entry> {
  using E = Type21Entry;
  static constexpr auto kStart =
      steps(index_plus(element(&E::bytes, 0), 1), top_bits(elements(&E::bytes, 1, 5), 8));
  static constexpr auto kMotion = steps(walk(field(&E::value), 30), flicker(element(&E::bytes, 5)));
};

// lead the time, uword a packet counter, info a status, count the entries in view.
template <>
struct Behaviour<Type22Record> {
  using R = Type22Record;
  static constexpr auto kStart = steps(draw_between(field(&R::count), 2, TYPE22_CAPACITY));
  static constexpr auto kMotion = steps(clock_ms(field(&R::lead)), count_up(field(&R::uword)),
                                        flicker(field(&R::info)), walk(field(&R::count), 1));
};

// d1 and d2 a position in degrees, f a level, bytes the entry's index and a slowly changing
// byte.
template <>
struct Behaviour<Type22Entry> {
  using E = Type22Entry;
  static constexpr auto kStart =
      steps(draw_between(field(&E::d1), -900000000, 900000000),
            draw_between(field(&E::d2), -1800000000, 1800000000),
            draw_between(field(&E::f), 0, 5000), index_plus(element(&E::bytes, 0), 0));
  static constexpr auto kMotion = steps(walk(field(&E::d1), 50), walk(field(&E::d2), 50),
                                        walk(field(&E::f), 20), walk(element(&E::bytes, 1), 2));
  static constexpr auto kUnits = units(unit(&E::d1, 1e-7), unit(&E::d2, 1e-7), unit(&E::f, 0.01));
};

// lead the time, long_a and long_b two offsets, ulong_a a growing total, ulong_b the time in
// seconds.
template <>
struct Behaviour<Type23Record> {
  using R = Type23Record;
  static constexpr auto kMotion =
      steps(clock_ms(field(&R::lead)), walk(field(&R::long_a), 500), walk(field(&R::long_b), 500),
            creep(field(&R::ulong_a), 100), clock_ms(field(&R::ulong_b), 1000));
};

// lead the time, ulong a packet counter, uword a reading, bytes six identifier bytes, the last a
// status.
template <>
struct Behaviour<Type25Record> {
  using R = Type25Record;
  static constexpr auto kStart = steps(top_bits(field(&R::bytes), 8));
  static constexpr auto kMotion = steps(clock_ms(field(&R::lead)), count_up(field(&R::ulong)),
                                        walk(field(&R::uword), 10), flicker(element(&R::bytes, 5)));
};

// lead the time, bytes a version, a setting and an event code.
template <>
struct Behaviour<Type26Record> {
  using R = Type26Record;
  static constexpr auto kStart =
      steps(set_to(element(&R::bytes, 0), 3), draw_below(element(&R::bytes, 1), 10));
  static constexpr auto kMotion =
      steps(clock_ms(field(&R::lead)), draw_below(element(&R::bytes, 2), 16));
};

// lead the time, ulong a packet counter, long_a and uword two readings, bytes two bytes, the
// second a status.
template <>
struct Behaviour<Type27Record> {
  using R = Type27Record;
  static constexpr auto kMotion =
      steps(clock_ms(field(&R::lead)), count_up(field(&R::ulong)), walk(field(&R::long_a), 100),
            walk(field(&R::uword), 5), flicker(element(&R::bytes, 1)));
};

}  // namespace capgen

#endif  // CAPGEN_SRC_BEHAVIOUR_H
