// Compiled, never run, by the step_naming_errors tests: each case is a behaviour that must not
// compile, and its test passes only on the diagnostic that says why. With no case chosen the file
// compiles, which shows that each case fails for its own reason.
#include <protolib/decoder.h>

#include "capgen/instrument/reading.h"
#include "capgen/instrument/steps.h"

namespace {

using capgen::field;
using capgen::steps;
using capgen::walk;

struct Entry {
#if defined(NOT_IN_LAYOUT)  // fresh is never sent, so the layout does not describe it
  static constexpr auto kMotion = steps(walk(field(&Type21Record::fresh), 1));
#elif defined(ENTRIES_ARRAY)  // counted entries are named by their count byte
  static constexpr auto kMotion = steps(walk(field(&Type21Record::entries), 1));
#elif defined(OTHER_OWNER)    // entry steps that name a member of the record
  static constexpr auto kMotion = steps(walk(field(&Type21Record::count), 1));
#else
  static constexpr auto kMotion = steps(walk(field(&Type21Entry::value), 1));
#endif
};

[[maybe_unused]] constexpr auto kMotion =
    capgen::reading_detail::steps_of<Type21Entry, Entry, capgen::reading_detail::Phase::kMotion>();

}  // namespace
