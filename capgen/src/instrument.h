// A simulated instrument: the latest reading of every catalogue type, moved on by small random
// steps each time its packet is due, so a capture looks like a real recording.
#ifndef CAPGEN_SRC_INSTRUMENT_H
#define CAPGEN_SRC_INSTRUMENT_H

#include <protolib/decoder.h>

#include <cstddef>
#include <cstdint>

#include "rng.h"

namespace capgen {

class Instrument {
 public:
  // Starting values depend on seed only.
  explicit Instrument(uint64_t seed);

  // Moves the reading of type (a catalogue type) on to the time clock_ms and writes its packet
  // at out, which needs room for WIRE_MAX_PACKET bytes. Returns the packet's size. With over_count, types
  // 21 and 22 send a count byte above their entry capacity; other types ignore it.
  int32_t write_packet(uint8_t type, uint32_t clock_ms, uint8_t *out, bool over_count = false);

 private:
  // Calls visit with the record of type, a catalogue type, and returns what it returns.
  template <typename Visit>
  int32_t visit_record(uint8_t type, Visit visit);

  // Each moves one record on to the time clock_ms.
  void advance(Type1Record &r, uint32_t clock_ms);
  void advance(Type2Record &r, uint32_t clock_ms);
  void advance(Type3Record &r, uint32_t clock_ms);
  void advance(Type9Record &r, uint32_t clock_ms);
  void advance(Type10Record &r, uint32_t clock_ms);
  void advance(Type12Record &r, uint32_t clock_ms);
  void advance(Type15Record &r, uint32_t clock_ms);
  void advance(Type20Record &r, uint32_t clock_ms);
  void advance(Type21Record &r, uint32_t clock_ms);
  void advance(Type22Record &r, uint32_t clock_ms);
  void advance(Type23Record &r, uint32_t clock_ms);
  void advance(Type25Record &r, uint32_t clock_ms);
  void advance(Type26Record &r, uint32_t clock_ms);
  void advance(Type27Record &r, uint32_t clock_ms);

  // Adds a step in [-step, step] to value, held within [low, high].
  template <typename T>
  void walk(T &value, int64_t step, int64_t low, int64_t high);
  // Adds a step in [-step, step] to value, held within the range of its type.
  template <typename T>
  void walk(T &value, int64_t step);
  template <typename T, std::size_t N>
  void walk(T (&values)[N], int64_t step) {
    for (T &value : values) walk(value, step);
  }
  // Flips one bit of status now and then, as status bytes rarely change.
  void flicker(uint8_t &status);

  Rng rng_;
  Type1Record rec1_{};
  Type2Record rec2_{};
  Type3Record rec3_{};
  Type9Record rec9_{};
  Type10Record rec10_{};
  Type12Record rec12_{};
  Type15Record rec15_{};
  Type20Record rec20_{};
  Type21Record rec21_{};
  Type22Record rec22_{};
  Type23Record rec23_{};
  Type25Record rec25_{};
  Type26Record rec26_{};
  Type27Record rec27_{};
  // Type-22 entry values in integer units; the floating-point fields are these times a scale,
  // one multiplication each, so every compiler rounds them alike.
  int32_t track_d1_[TYPE22_CAPACITY] = {};
  int32_t track_d2_[TYPE22_CAPACITY] = {};
  int32_t track_f_[TYPE22_CAPACITY] = {};
};

}  // namespace capgen

#endif  // CAPGEN_SRC_INSTRUMENT_H
