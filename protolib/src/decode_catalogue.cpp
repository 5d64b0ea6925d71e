// Decode routines of the further catalogue types: 3, 9, 23, 25, 26, 27 with fixed layouts and
// 21, 22 with counted entry lists.
#include <protolib/decoder.h>

#include "payload_reader.h"

using protolib::PayloadReader;

namespace {

// Reads the count byte into count, lowered to capacity, then fills entries[0..count) with
// read_entry; later entries keep their values.
template <typename Entry, std::size_t Capacity, typename ReadEntry>
void read_counted(PayloadReader &in, uint8_t &count, Entry (&entries)[Capacity],
                  ReadEntry read_entry) {
  in.read(count);
  if (count > Capacity) count = static_cast<uint8_t>(Capacity);
  for (uint8_t i = 0; i < count; ++i) read_entry(entries[i]);
}

}  // namespace

extern "C" {

void decode_type3(Type3Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->lead, record->words, record->tail);
  record->fresh = 1;
}

void decode_type9(Type9Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->words, record->uwords, record->uword, record->ulong);
  record->fresh = 1;
}

void decode_type21(Type21Record *record, const uint8_t *cursor) {
  PayloadReader in(cursor);
  in.read(record->lead, record->info);
  read_counted(in, record->count, record->entries,
               [&in](Type21Entry &entry) { in.read(entry.bytes, entry.value); });
  record->fresh = 1;
}

void decode_type22(Type22Record *record, const uint8_t *cursor) {
  PayloadReader in(cursor);
  in.read(record->lead, record->uword, record->info);
  read_counted(in, record->count, record->entries,
               [&in](Type22Entry &entry) { in.read(entry.d1, entry.d2, entry.f, entry.bytes); });
  record->fresh = 1;
}

void decode_type23(Type23Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->lead, record->long_a, record->long_b, record->ulong_a,
                             record->ulong_b);
  record->fresh = 1;
}

void decode_type25(Type25Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->lead, record->ulong, record->uword, record->bytes);
  record->fresh = 1;
}

void decode_type26(Type26Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->lead, record->bytes);
  record->fresh = 1;
}

void decode_type27(Type27Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->lead, record->ulong, record->long_a, record->uword,
                             record->bytes);
  record->fresh = 1;
}

}  // extern "C"
