// How a record or entry moves when the instrument has no behaviour of its own for it: from zero,
// a record's u32 field named lead keeps the instrument's clock in milliseconds, as the described
// types that carry a time do; every other field walks by at most one step each time its packet
// is due, a count byte within its capacity, a floating-point field in whole units. So a type new
// to the catalogue is generated with plausible, slowly changing values, on the clock, before
// anyone describes it.
#ifndef CAPGEN_SRC_GENERIC_BEHAVIOUR_H
#define CAPGEN_SRC_GENERIC_BEHAVIOUR_H

#include <protolib/catalogue.hpp>

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>

#include "capgen/instrument/layout_facts.h"
#include "capgen/instrument/steps.h"

namespace capgen {

// The generic step of the field at Position in Owner's layout.
template <typename Owner, std::size_t Position>
constexpr Step<Owner> generic_step() {
  using Description = std::remove_cvref_t<decltype(std::get<Position>(fields_of<Owner>()))>;
  if constexpr (requires { protolib::Layout<Owner>::kType; } &&
                !protolib::CountedDescription<Description>) {
    if constexpr (std::is_same_v<typename Description::Element, uint32_t> &&
                  !Description::kIsArray) {
      if (std::get<Position>(fields_of<Owner>()).name == "lead") {
        return clock_ms(Target<Owner>{Position});
      }
    }
  }
  return walk(Target<Owner>{Position}, 1);
}

// The generic steps of Owner's fields at the positions given.
template <typename Owner, std::size_t... Position>
constexpr auto walk_each(std::index_sequence<Position...>) {
  return steps(generic_step<Owner, Position>()...);
}

template <typename Owner>
struct GenericBehaviour {
  static constexpr auto kMotion = walk_each<Owner>(std::make_index_sequence<kFieldCount<Owner>>{});
};

}  // namespace capgen

#endif  // CAPGEN_SRC_GENERIC_BEHAVIOUR_H
