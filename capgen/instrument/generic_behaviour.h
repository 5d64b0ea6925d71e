// How a record or entry moves when the instrument has no behaviour of its own for it: from zero,
// every field walks by at most one step each time its packet is due, a count byte within its
// capacity, a floating-point field in whole units. So a type new to the catalogue is generated
// with plausible, slowly changing values before anyone describes it.
#ifndef CAPGEN_SRC_GENERIC_BEHAVIOUR_H
#define CAPGEN_SRC_GENERIC_BEHAVIOUR_H

#include <utility>

#include "capgen/instrument/layout_facts.h"
#include "capgen/instrument/steps.h"

namespace capgen {

// Steps that walk Owner's fields at the positions given by at most one step.
template <typename Owner, std::size_t... Position>
constexpr auto walk_each(std::index_sequence<Position...>) {
  return steps(walk(Target<Owner>{Position}, 1)...);
}

template <typename Owner>
struct GenericBehaviour {
  static constexpr auto kMotion = walk_each<Owner>(std::make_index_sequence<kFieldCount<Owner>>{});
};

}  // namespace capgen

#endif  // CAPGEN_SRC_GENERIC_BEHAVIOUR_H
