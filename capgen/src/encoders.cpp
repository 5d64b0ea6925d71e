// Record encoders, field lists in the same order as the library's decode routines.
#include "encoders.h"

#include <algorithm>
#include <cstddef>

#include "payload_writer.h"

namespace capgen {

namespace {

// Writes the count byte as given, then entries[0..min(count, Capacity)) with write_entry.
template <typename Entry, std::size_t Capacity, typename WriteEntry>
void write_counted(PayloadWriter &out, uint8_t count, const Entry (&entries)[Capacity],
                   WriteEntry write_entry) {
  out.write(count);
  const std::size_t sent = std::min<std::size_t>(count, Capacity);
  for (std::size_t i = 0; i < sent; ++i) write_entry(entries[i]);
}

// A packet of type carrying fields in order.
template <typename... Fields>
int32_t encode_fields(uint8_t *start, uint8_t type, const Fields &...fields) {
  PayloadWriter out(start, type);
  out.write(fields...);
  return out.finish();
}

}  // namespace

int32_t encode(uint8_t *start, const Type1Record &r) {
  return encode_fields(start, 1, r.lead, r.uword, r.word);
}

int32_t encode(uint8_t *start, const Type2Record &r) {
  return encode_fields(start, 2, r.lead, r.words, r.tail);
}

int32_t encode(uint8_t *start, const Type3Record &r) {
  return encode_fields(start, 3, r.lead, r.words, r.tail);
}

int32_t encode(uint8_t *start, const Type9Record &r) {
  return encode_fields(start, 9, r.words, r.uwords, r.uword, r.ulong);
}

int32_t encode(uint8_t *start, const Type10Record &r) {
  return encode_fields(start, 10, r.lead, r.words, r.longs, r.tail);
}

int32_t encode(uint8_t *start, const Type12Record &r) {
  return encode_fields(start, 12, r.lead, r.longs, r.tail);
}

int32_t encode(uint8_t *start, const Type15Record &r) {
  return encode_fields(start, 15, r.lead, r.uwords, r.tail);
}

int32_t encode(uint8_t *start, const Type20Record &r) {
  return encode_fields(start, 20, r.lead, r.uword_a, r.uword_b, r.longs, r.uwords);
}

int32_t encode(uint8_t *start, const Type21Record &r) {
  PayloadWriter out(start, 21);
  out.write(r.lead, r.info);
  write_counted(out, r.count, r.entries,
                [&out](const Type21Entry &entry) { out.write(entry.bytes, entry.value); });
  return out.finish();
}

int32_t encode(uint8_t *start, const Type22Record &r) {
  PayloadWriter out(start, 22);
  out.write(r.lead, r.uword, r.info);
  write_counted(out, r.count, r.entries, [&out](const Type22Entry &entry) {
    out.write(entry.d1, entry.d2, entry.f, entry.bytes);
  });
  return out.finish();
}

int32_t encode(uint8_t *start, const Type23Record &r) {
  return encode_fields(start, 23, r.lead, r.long_a, r.long_b, r.ulong_a, r.ulong_b);
}

int32_t encode(uint8_t *start, const Type25Record &r) {
  return encode_fields(start, 25, r.lead, r.ulong, r.uword, r.bytes);
}

int32_t encode(uint8_t *start, const Type26Record &r) {
  return encode_fields(start, 26, r.lead, r.bytes);
}

int32_t encode(uint8_t *start, const Type27Record &r) {
  return encode_fields(start, 27, r.lead, r.ulong, r.long_a, r.uword, r.bytes);
}

}  // namespace capgen
