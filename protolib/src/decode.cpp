// The decode routines of the C API, each the catalogue description's walk for its record.
#include <protolib/decoder.h>

#include "protolib/src/payload_codec.h"

using protolib::decode_record;

extern "C" {

// clang-format off
void decode_type1(Type1Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type2(Type2Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type3(Type3Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type9(Type9Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type10(Type10Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type12(Type12Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type15(Type15Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type20(Type20Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type21(Type21Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type22(Type22Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type23(Type23Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type25(Type25Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type26(Type26Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
void decode_type27(Type27Record *record, const uint8_t *cursor) { decode_record(*record, cursor); }
// clang-format on

}  // extern "C"
