// The encoders of the C API, each the catalogue description's walk for its record.
#include <protolib/writer.h>

#include "protolib/src/payload_codec.h"

using protolib::encode_record;

extern "C" {

// clang-format off
int32_t encode_type1(const Type1Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type2(const Type2Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type3(const Type3Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type9(const Type9Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type10(const Type10Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type12(const Type12Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type15(const Type15Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type20(const Type20Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type21(const Type21Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type22(const Type22Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type23(const Type23Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type25(const Type25Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type26(const Type26Record *record, uint8_t *start) { return encode_record(*record, start); }
int32_t encode_type27(const Type27Record *record, uint8_t *start) { return encode_record(*record, start); }
// clang-format on

}  // extern "C"
