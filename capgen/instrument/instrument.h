// A simulated instrument: the latest reading of every catalogue type, moved on by small random
// steps each time its packet is due, so a capture looks like a real recording. How each type
// moves is written in behaviour.h.
#ifndef CAPGEN_SRC_INSTRUMENT_H
#define CAPGEN_SRC_INSTRUMENT_H

#include <protolib/catalogue.hpp>

#include <cstdint>
#include <tuple>

#include "capgen/instrument/reading.h"
#include "capgen/instrument/rng.h"

namespace capgen {

class Instrument {
 public:
  // Starting values depend on seed only.
  explicit Instrument(uint64_t seed);

  // Moves the reading of type on to the time clock_ms and writes its packet at out, which needs
  // room for WIRE_MAX_PACKET bytes. Returns the packet's size; 0, with nothing written, when type
  // is not in the catalogue. With over_count, a type with counted entries sends a count byte
  // above their capacity; other types ignore it.
  int32_t write_packet(uint8_t type, uint32_t clock_ms, uint8_t *out, bool over_count = false);

 private:
  template <typename Records>
  struct ReadingsOf;
  template <typename... Records>
  struct ReadingsOf<std::tuple<Records...>> {
    using Type = std::tuple<Reading<Records>...>;
  };

  Rng rng_;
  ReadingsOf<protolib::CatalogueRecords>::Type readings_;
};

}  // namespace capgen

#endif  // CAPGEN_SRC_INSTRUMENT_H
