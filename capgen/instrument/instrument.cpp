// The simulated instrument: every reading set to its start in ascending order of type, then moved
// on and written one packet at a time.
#include "capgen/instrument/instrument.h"

#include <tuple>
#include <type_traits>

#include "capgen/instrument/behaviour.h"

namespace capgen {

namespace {

// Writes record's packet with a count byte drawn above the capacity of its entries, so the
// packet holds fewer entries than its count byte claims.
template <typename Record>
int32_t write_over_counted(Record sent, Rng &rng, uint8_t *out) {
  constexpr const auto &kCounted = counted_entries<Record>();
  constexpr auto kCapacity = std::decay_t<decltype(kCounted)>::kCapacity;
  sent.*kCounted.count = static_cast<uint8_t>(kCapacity + 1 + rng.below(255 - kCapacity));
  return protolib::CatalogueType<Record>::encode(sent, out);
}

}  // namespace

Instrument::Instrument(uint64_t seed) : rng_(seed) {
  protolib::for_each_catalogue_type([this](auto kind) {
    using Record = typename decltype(kind)::Record;
    set_start<Behaviour>(std::get<Reading<Record>>(readings_), rng_);
  });
}

int32_t Instrument::write_packet(uint8_t type, uint32_t clock_ms, uint8_t *out, bool over_count) {
  int32_t size = 0;
  protolib::visit_catalogue_type(type, [&](auto kind) {
    using Record = typename decltype(kind)::Record;
    Reading<Record> &reading = std::get<Reading<Record>>(readings_);
    move_on<Behaviour>(reading, rng_, clock_ms);
    if constexpr (kHasEntries<Record>) {
      if (over_count) {
        size = write_over_counted(reading.record, rng_, out);
        return;
      }
    }
    size = kind.encode(reading.record, out);
  });
  return size;
}

}  // namespace capgen
