// Decode routines of the types the listing programs print: 1, 2, 10, 12, 15 and 20.
#include <protolib/decoder.h>

#include "payload_reader.h"

using protolib::PayloadReader;

extern "C" {

void decode_type1(Type1Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->lead, record->uword, record->word);
  record->fresh = 1;
}

void decode_type2(Type2Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->lead, record->words, record->tail);
  record->fresh = 1;
}

void decode_type10(Type10Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->lead, record->words, record->longs, record->tail);
  record->fresh = 1;
}

void decode_type12(Type12Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->lead, record->longs, record->tail);
  record->fresh = 1;
}

void decode_type15(Type15Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->lead, record->uwords, record->tail);
  record->fresh = 1;
}

void decode_type20(Type20Record *record, const uint8_t *cursor) {
  PayloadReader(cursor).read(record->lead, record->uword_a, record->uword_b, record->longs,
                             record->uwords);
  record->fresh = 1;
}

}  // extern "C"
