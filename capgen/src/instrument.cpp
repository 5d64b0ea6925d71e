// The simulated instrument: per-type starting points and the way each reading moves on.
#include "instrument.h"

#include <protolib/catalogue.hpp>

#include <algorithm>
#include <iterator>
#include <limits>

namespace capgen {

namespace {

constexpr double kDegreeUnit = 1e-7;  // type-22 d1 and d2 units
constexpr float kLevelUnit = 0.01f;   // type-22 f units

// Writes record's packet at out with the library's encoder; returns its size.
template <typename Record>
int32_t encode(uint8_t *out, const Record &record) {
  return protolib::CatalogueType<Record>::encode(record, out);
}

}  // namespace

template <typename T>
void Instrument::walk(T &value, int64_t step, int64_t low, int64_t high) {
  value = static_cast<T>(std::clamp(value + rng_.between(-step, step), low, high));
}

template <typename T>
void Instrument::walk(T &value, int64_t step) {
  walk(value, step, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
}

void Instrument::flicker(uint8_t &status) {
  const uint64_t bits = rng_.next();
  if ((bits & 1023) == 0) status = static_cast<uint8_t>(status ^ (1u << ((bits >> 10) & 7)));
}

Instrument::Instrument(uint64_t seed) : rng_(seed) {
  // Plausible operating points: temperatures, supply levels, positions, identifiers.
  rec1_.word = static_cast<int16_t>(rng_.between(1500, 3000));
  walk(rec2_.words, 2000);
  walk(rec3_.words, 4000);
  walk(rec9_.words, 1000);
  rec9_.ulong = rng_.below(1u << 20);
  walk(rec10_.words, 1000);
  walk(rec10_.longs, 100000000);
  walk(rec12_.longs, 1000000);
  for (uint16_t &level : rec15_.uwords) level = static_cast<uint16_t>(rng_.between(11000, 13000));
  rec20_.uword_a = static_cast<uint16_t>(rng_.between(2000, 2400));
  for (int32_t &coordinate : rec20_.longs) coordinate = static_cast<int32_t>(rng_.next() >> 36);
  for (uint16_t &precision : rec20_.uwords)
    precision = static_cast<uint16_t>(rng_.between(80, 200));
  rec21_.count = static_cast<uint8_t>(rng_.between(4, TYPE21_CAPACITY));
  for (std::size_t i = 0; i < TYPE21_CAPACITY; ++i) {
    Type21Entry &entry = rec21_.entries[i];
    entry.bytes[0] = static_cast<uint8_t>(i + 1);
    for (std::size_t b = 1; b < std::size(entry.bytes); ++b) entry.bytes[b] = rng_.byte();
  }
  rec22_.count = static_cast<uint8_t>(rng_.between(2, TYPE22_CAPACITY));
  for (std::size_t i = 0; i < TYPE22_CAPACITY; ++i) {
    track_d1_[i] = static_cast<int32_t>(rng_.between(-900000000, 900000000));
    track_d2_[i] = static_cast<int32_t>(rng_.between(-1800000000, 1800000000));
    track_f_[i] = static_cast<int32_t>(rng_.between(0, 5000));
    rec22_.entries[i].bytes[0] = static_cast<uint8_t>(i);
  }
  for (uint8_t &id : rec25_.bytes) id = rng_.byte();
  rec26_.bytes[0] = 3;
  rec26_.bytes[1] = static_cast<uint8_t>(rng_.below(10));
}

template <typename Visit>
int32_t Instrument::visit_record(uint8_t type, Visit visit) {
  switch (type) {
    case 1:
      return visit(rec1_);
    case 2:
      return visit(rec2_);
    case 3:
      return visit(rec3_);
    case 9:
      return visit(rec9_);
    case 10:
      return visit(rec10_);
    case 12:
      return visit(rec12_);
    case 15:
      return visit(rec15_);
    case 20:
      return visit(rec20_);
    case 21:
      return visit(rec21_);
    case 22:
      return visit(rec22_);
    case 23:
      return visit(rec23_);
    case 25:
      return visit(rec25_);
    case 26:
      return visit(rec26_);
    default:
      return visit(rec27_);
  }
}

int32_t Instrument::write_packet(uint8_t type, uint32_t clock_ms, uint8_t *out, bool over_count) {
  return visit_record(type, [&](auto &record) -> int32_t {
    advance(record, clock_ms);
    if constexpr (requires { record.count; }) {
      if (over_count) {
        auto sent = record;
        constexpr auto capacity = std::size(sent.entries);
        sent.count = static_cast<uint8_t>(capacity + 1 + rng_.below(255 - capacity));
        return encode(out, sent);
      }
    }
    return encode(out, record);
  });
}

void Instrument::advance(Type1Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  ++r.uword;
  walk(r.word, 20);
}

void Instrument::advance(Type2Record &r, uint32_t) {
  ++r.lead;  // sequence number
  walk(r.words, 8);
  flicker(r.tail);
}

void Instrument::advance(Type3Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  walk(r.words, 50);
  ++r.tail;
}

void Instrument::advance(Type9Record &r, uint32_t clock_ms) {
  walk(r.words, 5);
  for (uint16_t &counter : r.uwords) counter = static_cast<uint16_t>(counter + rng_.below(4));
  ++r.uword;
  r.ulong = clock_ms / 1000;
}

void Instrument::advance(Type10Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  walk(r.words, 40);
  walk(r.longs, 200);
  ++r.tail;
}

void Instrument::advance(Type12Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  walk(r.longs, 1000);
  flicker(r.tail);
}

void Instrument::advance(Type15Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  walk(r.uwords, 3);
  flicker(r.tail);
}

void Instrument::advance(Type20Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  ++r.uword_b;
  walk(r.longs, 30);
  walk(r.uwords, 2);
}

void Instrument::advance(Type21Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  ++r.info;
  walk(r.count, 1, 0, TYPE21_CAPACITY);
  for (uint8_t i = 0; i < r.count; ++i) {
    walk(r.entries[i].value, 30);
    flicker(r.entries[i].bytes[5]);
  }
}

void Instrument::advance(Type22Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  ++r.uword;
  flicker(r.info);
  walk(r.count, 1, 0, TYPE22_CAPACITY);
  for (uint8_t i = 0; i < r.count; ++i) {
    Type22Entry &entry = r.entries[i];
    walk(track_d1_[i], 50);
    walk(track_d2_[i], 50);
    walk(track_f_[i], 20);
    entry.d1 = static_cast<double>(track_d1_[i]) * kDegreeUnit;
    entry.d2 = static_cast<double>(track_d2_[i]) * kDegreeUnit;
    entry.f = static_cast<float>(track_f_[i]) * kLevelUnit;
    walk(entry.bytes[1], 2);
  }
}

void Instrument::advance(Type23Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  walk(r.long_a, 500);
  walk(r.long_b, 500);
  r.ulong_a += rng_.below(100);
  r.ulong_b = clock_ms / 1000;
}

void Instrument::advance(Type25Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  ++r.ulong;
  walk(r.uword, 10);
  flicker(r.bytes[5]);
}

void Instrument::advance(Type26Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  r.bytes[2] = static_cast<uint8_t>(rng_.below(16));  // event code
}

void Instrument::advance(Type27Record &r, uint32_t clock_ms) {
  r.lead = clock_ms;
  ++r.ulong;
  walk(r.long_a, 100);
  walk(r.uword, 5);
  flicker(r.bytes[1]);
}

}  // namespace capgen
