// Reads and writes a record's payload by walking its description in the catalogue: the one place
// that turns the layouts into wire bytes and back.
#ifndef PROTOLIB_SRC_PAYLOAD_CODEC_H
#define PROTOLIB_SRC_PAYLOAD_CODEC_H

#include <protolib/writer.h>
#include <protolib/catalogue.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "protolib/src/byte_order.h"

namespace protolib {

// Reads fields in wire order from a cursor, choosing the reader by field type.
class PayloadReader {
 public:
  // Starts at payload, the first payload byte.
  explicit PayloadReader(const uint8_t *payload) : cursor_(payload) {}

  void read(uint8_t &field) { field = *cursor_++; }
  void read(uint16_t &field) { field = load_be16(take(2)); }
  void read(int16_t &field) { field = static_cast<int16_t>(load_be16(take(2))); }
  void read(uint32_t &field) { field = load_be32(take(4)); }
  void read(int32_t &field) { field = static_cast<int32_t>(load_be32(take(4))); }
  void read(float &field) { field = std::bit_cast<float>(load_be32(take(4))); }
  void read(double &field) { field = std::bit_cast<double>(load_be64(take(8))); }
  template <typename T, std::size_t N>
  void read(T (&elements)[N]) {
    for (T &element : elements) read(element);
  }

 private:
  // Returns the cursor and moves it past width bytes.
  const uint8_t *take(int width) {
    const uint8_t *field = cursor_;
    cursor_ += width;
    return field;
  }

  const uint8_t *cursor_;
};

// Writes fields in wire order after a packet header, choosing the writer by field type.
class PayloadWriter {
 public:
  // Begins a packet of type at start; the buffer needs room for the finished packet.
  PayloadWriter(uint8_t *start, uint8_t type) : start_(start), cursor_(packet_begin(start, type)) {}

  void write(uint8_t field) { *cursor_++ = field; }
  void write(uint16_t field) { cursor_ = be_write_u16(cursor_, field); }
  void write(int16_t field) { cursor_ = be_write_i16(cursor_, field); }
  void write(uint32_t field) { cursor_ = be_write_u32(cursor_, field); }
  void write(int32_t field) { cursor_ = be_write_i32(cursor_, field); }
  void write(float field) { cursor_ = be_write_f32(cursor_, field); }
  void write(double field) { cursor_ = be_write_f64(cursor_, field); }
  template <typename T, std::size_t N>
  void write(const T (&elements)[N]) {
    for (const T &element : elements) write(element);
  }

  // Fills in the length and both checksum bytes; returns the packet's size, payload + 6.
  int32_t finish() { return packet_finish(start_, cursor_); }

 private:
  uint8_t *start_;
  uint8_t *cursor_;
};

// Reads record's fields (a record or an entry) in wire order.
template <typename Record>
inline void read_fields(PayloadReader &in, Record &record) {
  const auto member = [&](const auto &field) { in.read(record.*field.member); };
  walk_layout<Record>(LayoutHooks{member, member, [&](const auto &list) {
                                    uint8_t &count = record.*list.count;
                                    in.read(count);
                                    constexpr auto kCapacity =
                                        std::remove_cvref_t<decltype(list)>::kCapacity;
                                    if (count > kCapacity) count = static_cast<uint8_t>(kCapacity);
                                    for (uint8_t i = 0; i < count; ++i) {
                                      read_fields(in, (record.*list.entries)[i]);
                                    }
                                  }});
}

// Writes record's fields (a record or an entry) in wire order.
template <typename Record>
inline void write_fields(PayloadWriter &out, const Record &record) {
  const auto member = [&](const auto &field) { out.write(record.*field.member); };
  walk_layout<Record>(LayoutHooks{member, member, [&](const auto &list) {
                                    const uint8_t count = record.*list.count;
                                    out.write(count);
                                    const std::size_t sent = std::min<std::size_t>(
                                        count, std::remove_cvref_t<decltype(list)>::kCapacity);
                                    for (std::size_t i = 0; i < sent; ++i) {
                                      write_fields(out, (record.*list.entries)[i]);
                                    }
                                  }});
}

// Decodes the payload at payload, which holds every byte the layout reads, into record and
// marks it fresh.
template <typename Record>
inline void read_payload(Record &record, const uint8_t *payload) {
  PayloadReader in(payload);
  read_fields(in, record);
  record.fresh = 1;
}

// Decodes the payload after length_byte into record and marks it fresh.
template <typename Record>
inline void decode_record(Record &record, const uint8_t *length_byte) {
  read_payload(record, length_byte + 1);
}

// Bytes read_payload reads from a payload of length bytes: the fixed fields, and as many entries
// as its count byte asks for, up to the capacity; no more than length when the count byte is
// missing.
template <typename Record>
inline std::size_t bytes_read(const uint8_t *payload, std::size_t length) {
  constexpr PayloadShape kShape = payload_shape<Record>();
  if constexpr (kShape.capacity == 0) {
    return kShape.fixed;
  } else {
    if (length <= kShape.count_offset) return kShape.fixed;
    const std::size_t count = std::min<std::size_t>(payload[kShape.count_offset], kShape.capacity);
    return kShape.fixed + count * kShape.entry;
  }
}

// Decodes payload, length bytes, into record and marks it fresh, as though the payload were
// followed by zero bytes: reads no byte at or past payload + length.
template <typename Record>
inline void decode_within(Record &record, const uint8_t *payload, std::size_t length) {
  if (length >= bytes_read<Record>(payload, length)) {
    read_payload(record, payload);
    return;
  }
  std::array<uint8_t, payload_shape<Record>().longest()> padded{};
  std::copy(payload, payload + length, padded.begin());
  read_payload(record, padded.data());
}

// Writes record's whole packet at start; returns its size.
template <typename Record>
inline int32_t encode_record(const Record &record, uint8_t *start) {
  PayloadWriter out(start, Layout<Record>::kType);
  write_fields(out, record);
  return out.finish();
}

}  // namespace protolib

#endif  // PROTOLIB_SRC_PAYLOAD_CODEC_H
