// catalogue.hpp - the packet catalogue, described once. For each catalogue type: its type byte,
// its record (declared in <protolib/decoder.h>), its record's place in PacketDecoder, its decode
// and encode routines, and its payload layout field by field: name, wire type and array length,
// and for types 21 and 22 the count byte with the entries it counts and their capacity. The
// fixed payload sizes follow from the layout. The library's decoding, encoding and dispatch walk
// this description, and so does every tool that prints, reads or makes packets by field name.
//
// C++ only: C callers use the records and routines of decoder.h and writer.h, which this header
// describes.
#ifndef PROTOLIB_CATALOGUE_HPP
#define PROTOLIB_CATALOGUE_HPP

#include <protolib/decoder.h>
#include <protolib/wire.h>
#include <protolib/writer.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <tuple>
#include <type_traits>

namespace protolib {

// ---- Field descriptions -------------------------------------------------------------------

// How one scalar is sent: unsigned or signed integers of 8 to 32 bits, IEEE-754 single or
// double; big-endian.
enum class WireType : uint8_t { kU8, kU16, kI16, kU32, kI32, kF32, kF64 };

// The wire type of each C type a record field may have.
template <typename T>
struct WireTypeOf;
template <>
struct WireTypeOf<uint8_t> : std::integral_constant<WireType, WireType::kU8> {};
template <>
struct WireTypeOf<uint16_t> : std::integral_constant<WireType, WireType::kU16> {};
template <>
struct WireTypeOf<int16_t> : std::integral_constant<WireType, WireType::kI16> {};
template <>
struct WireTypeOf<uint32_t> : std::integral_constant<WireType, WireType::kU32> {};
template <>
struct WireTypeOf<int32_t> : std::integral_constant<WireType, WireType::kI32> {};
template <>
struct WireTypeOf<float> : std::integral_constant<WireType, WireType::kF32> {};
template <>
struct WireTypeOf<double> : std::integral_constant<WireType, WireType::kF64> {};

// Bytes one scalar of type takes on the wire.
constexpr std::size_t wire_size(WireType type) {
  switch (type) {
    case WireType::kU8:
      return 1;
    case WireType::kU16:
    case WireType::kI16:
      return 2;
    case WireType::kF64:
      return 8;
    default:
      return 4;
  }
}

// A scalar or fixed-length array member of Owner (a record or an entry). Arrays are sent
// element by element from index 0.
template <typename Owner, typename Member>
struct Field {
  using Element = std::remove_extent_t<Member>;
  static constexpr WireType kWireType = WireTypeOf<Element>::value;
  static constexpr std::size_t kLength = std::is_array_v<Member> ? std::extent_v<Member> : 1;
  static constexpr std::size_t kWireSize = kLength * wire_size(kWireType);
  static constexpr bool kIsArray = std::is_array_v<Member>;

  constexpr Field(std::string_view field_name, Member Owner::*field)
      : name(field_name), member(field) {}
  std::string_view name;
  Member Owner::*member;
};

// A count byte and the entries it counts. On the wire the count byte comes first, then count
// entries; the record keeps at most Capacity of them, and decoding lowers a larger count to
// Capacity. Encoding sends the count as it is and min(count, Capacity) entries.
template <typename Owner, typename Entry, std::size_t Capacity>
struct CountedEntries {
  using EntryType = Entry;
  static constexpr std::size_t kCapacity = Capacity;

  constexpr CountedEntries(std::string_view count_field_name, uint8_t Owner::*count_field,
                           std::string_view entries_field_name,
                           Entry (Owner::*entries_field)[Capacity])
      : count_name(count_field_name),
        count(count_field),
        name(entries_field_name),
        entries(entries_field) {}
  std::string_view count_name;
  uint8_t Owner::*count;
  std::string_view name;
  Entry (Owner::*entries)[Capacity];
};

// ---- The catalogue ------------------------------------------------------------------------

// Layout<R> describes record or entry R: kFields, a tuple of Field and CountedEntries in wire
// order (fresh is never sent). A catalogue record's Layout also names kType, its type byte;
// kSlot, its record in PacketDecoder; kDecode and kEncode, its routines in decoder.h and
// writer.h.
template <typename Record>
struct Layout;

template <>
struct Layout<Type1Record> {
  static constexpr uint8_t kType = 1;
  static constexpr auto kSlot = &PacketDecoder::rec1;
  static constexpr auto kDecode = decode_type1;
  static constexpr auto kEncode = encode_type1;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type1Record::lead), Field("uword", &Type1Record::uword),
                 Field("word", &Type1Record::word));
};

template <>
struct Layout<Type2Record> {
  static constexpr uint8_t kType = 2;
  static constexpr auto kSlot = &PacketDecoder::rec2;
  static constexpr auto kDecode = decode_type2;
  static constexpr auto kEncode = encode_type2;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type2Record::lead), Field("words", &Type2Record::words),
                 Field("tail", &Type2Record::tail));
};

template <>
struct Layout<Type3Record> {
  static constexpr uint8_t kType = 3;
  static constexpr auto kSlot = &PacketDecoder::rec3;
  static constexpr auto kDecode = decode_type3;
  static constexpr auto kEncode = encode_type3;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type3Record::lead), Field("words", &Type3Record::words),
                 Field("tail", &Type3Record::tail));
};

template <>
struct Layout<Type9Record> {
  static constexpr uint8_t kType = 9;
  static constexpr auto kSlot = &PacketDecoder::rec9;
  static constexpr auto kDecode = decode_type9;
  static constexpr auto kEncode = encode_type9;
  static constexpr auto kFields =
      std::tuple(Field("words", &Type9Record::words), Field("uwords", &Type9Record::uwords),
                 Field("uword", &Type9Record::uword), Field("ulong", &Type9Record::ulong));
};

template <>
struct Layout<Type10Record> {
  static constexpr uint8_t kType = 10;
  static constexpr auto kSlot = &PacketDecoder::rec10;
  static constexpr auto kDecode = decode_type10;
  static constexpr auto kEncode = encode_type10;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type10Record::lead), Field("words", &Type10Record::words),
                 Field("longs", &Type10Record::longs), Field("tail", &Type10Record::tail));
};

template <>
struct Layout<Type12Record> {
  static constexpr uint8_t kType = 12;
  static constexpr auto kSlot = &PacketDecoder::rec12;
  static constexpr auto kDecode = decode_type12;
  static constexpr auto kEncode = encode_type12;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type12Record::lead), Field("longs", &Type12Record::longs),
                 Field("tail", &Type12Record::tail));
};

template <>
struct Layout<Type15Record> {
  static constexpr uint8_t kType = 15;
  static constexpr auto kSlot = &PacketDecoder::rec15;
  static constexpr auto kDecode = decode_type15;
  static constexpr auto kEncode = encode_type15;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type15Record::lead), Field("uwords", &Type15Record::uwords),
                 Field("tail", &Type15Record::tail));
};

template <>
struct Layout<Type20Record> {
  static constexpr uint8_t kType = 20;
  static constexpr auto kSlot = &PacketDecoder::rec20;
  static constexpr auto kDecode = decode_type20;
  static constexpr auto kEncode = encode_type20;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type20Record::lead), Field("uword_a", &Type20Record::uword_a),
                 Field("uword_b", &Type20Record::uword_b), Field("longs", &Type20Record::longs),
                 Field("uwords", &Type20Record::uwords));
};

template <>
struct Layout<Type21Entry> {
  static constexpr auto kFields =
      std::tuple(Field("bytes", &Type21Entry::bytes), Field("value", &Type21Entry::value));
};

template <>
struct Layout<Type21Record> {
  static constexpr uint8_t kType = 21;
  static constexpr auto kSlot = &PacketDecoder::rec21;
  static constexpr auto kDecode = decode_type21;
  static constexpr auto kEncode = encode_type21;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type21Record::lead), Field("info", &Type21Record::info),
                 CountedEntries("count", &Type21Record::count, "entries", &Type21Record::entries));
};

template <>
struct Layout<Type22Entry> {
  static constexpr auto kFields =
      std::tuple(Field("d1", &Type22Entry::d1), Field("d2", &Type22Entry::d2),
                 Field("f", &Type22Entry::f), Field("bytes", &Type22Entry::bytes));
};

template <>
struct Layout<Type22Record> {
  static constexpr uint8_t kType = 22;
  static constexpr auto kSlot = &PacketDecoder::rec22;
  static constexpr auto kDecode = decode_type22;
  static constexpr auto kEncode = encode_type22;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type22Record::lead), Field("uword", &Type22Record::uword),
                 Field("info", &Type22Record::info),
                 CountedEntries("count", &Type22Record::count, "entries", &Type22Record::entries));
};

template <>
struct Layout<Type23Record> {
  static constexpr uint8_t kType = 23;
  static constexpr auto kSlot = &PacketDecoder::rec23;
  static constexpr auto kDecode = decode_type23;
  static constexpr auto kEncode = encode_type23;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type23Record::lead), Field("long_a", &Type23Record::long_a),
                 Field("long_b", &Type23Record::long_b), Field("ulong_a", &Type23Record::ulong_a),
                 Field("ulong_b", &Type23Record::ulong_b));
};

template <>
struct Layout<Type25Record> {
  static constexpr uint8_t kType = 25;
  static constexpr auto kSlot = &PacketDecoder::rec25;
  static constexpr auto kDecode = decode_type25;
  static constexpr auto kEncode = encode_type25;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type25Record::lead), Field("ulong", &Type25Record::ulong),
                 Field("uword", &Type25Record::uword), Field("bytes", &Type25Record::bytes));
};

template <>
struct Layout<Type26Record> {
  static constexpr uint8_t kType = 26;
  static constexpr auto kSlot = &PacketDecoder::rec26;
  static constexpr auto kDecode = decode_type26;
  static constexpr auto kEncode = encode_type26;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type26Record::lead), Field("bytes", &Type26Record::bytes));
};

template <>
struct Layout<Type27Record> {
  static constexpr uint8_t kType = 27;
  static constexpr auto kSlot = &PacketDecoder::rec27;
  static constexpr auto kDecode = decode_type27;
  static constexpr auto kEncode = encode_type27;
  static constexpr auto kFields =
      std::tuple(Field("lead", &Type27Record::lead), Field("ulong", &Type27Record::ulong),
                 Field("long_a", &Type27Record::long_a), Field("uword", &Type27Record::uword),
                 Field("bytes", &Type27Record::bytes));
};

// Every catalogue record, in ascending order of type.
using CatalogueRecords =
    std::tuple<Type1Record, Type2Record, Type3Record, Type9Record, Type10Record, Type12Record,
               Type15Record, Type20Record, Type21Record, Type22Record, Type23Record, Type25Record,
               Type26Record, Type27Record>;

// ---- Walking the description --------------------------------------------------------------

// One catalogue type as a value that visitors receive: its record type, type byte and routines.
template <typename RecordType>
struct CatalogueType {
  using Record = RecordType;
  static constexpr uint8_t kType = Layout<Record>::kType;
  // Decodes the packet whose length byte is at length_byte into record, as the decoder does.
  static void decode(Record &record, const uint8_t *length_byte) {
    Layout<Record>::kDecode(&record, length_byte);
  }
  // Writes record's whole packet at start (room for WIRE_MAX_PACKET bytes); returns its size.
  static int32_t encode(const Record &record, uint8_t *start) {
    return Layout<Record>::kEncode(&record, start);
  }
};

// Calls visit(CatalogueType<R>{}) for every catalogue record R, in ascending order of type.
template <typename Visit>
constexpr void for_each_catalogue_type(Visit &&visit) {
  std::apply(
      [&](const auto &...records) {
        (visit(CatalogueType<std::decay_t<decltype(records)>>{}), ...);
      },
      CatalogueRecords{});
}

// Calls visit(CatalogueType<R>{}) for the catalogue type numbered type and returns true;
// returns false, calling nothing, when type is not in the catalogue.
template <typename Visit>
bool visit_catalogue_type(unsigned type, Visit &&visit) {
  bool found = false;
  for_each_catalogue_type([&](auto kind) {
    if (type != decltype(kind)::kType) return;
    visit(kind);
    found = true;
  });
  return found;
}

// The catalogue's type bytes in ascending order.
inline constexpr auto kCatalogueTypes = [] {
  std::array<uint8_t, std::tuple_size_v<CatalogueRecords>> types{};
  std::size_t i = 0;
  for_each_catalogue_type([&](auto kind) { types[i++] = decltype(kind)::kType; });
  return types;
}();

// True when type has a record in the catalogue.
constexpr bool in_catalogue(unsigned type) {
  for (uint8_t known : kCatalogueTypes) {
    if (known == type) return true;
  }
  return false;
}

// A record's counted entries as values: the entry array and the count. Entry and Count are
// const-qualified when the record is.
template <typename Entry, std::size_t Capacity, typename Count>
struct EntryList {
  Entry (&entries)[Capacity];
  Count &count;
};
// Lets EntryList{entries, count} name its arguments' types with compilers that deduce no
// aggregate's template arguments by themselves (clang before 17).
template <typename Entry, std::size_t Capacity, typename Count>
EntryList(Entry (&)[Capacity], Count &) -> EntryList<Entry, Capacity, Count>;

// Calls visit(name, value) for each field of record (a record or entry, const or not) in wire
// order: value is a reference to the scalar or array; for counted entries, the count byte as
// ("count", count) and then the entries as ("entries", EntryList).
template <typename Record, typename Visit>
void for_each_field(Record &record, Visit &&visit) {
  const auto visit_one = [&](const auto &field) {
    if constexpr (requires { field.entries; }) {
      auto &count = record.*field.count;
      visit(field.count_name, count);
      visit(field.name, EntryList{record.*field.entries, count});
    } else {
      visit(field.name, record.*field.member);
    }
  };
  std::apply([&](const auto &...fields) { (visit_one(fields), ...); },
             Layout<std::remove_const_t<Record>>::kFields);
}

// Wire bytes of a field, and of a count byte without its entries.
template <typename Owner, typename Member>
constexpr std::size_t fixed_size(const Field<Owner, Member> &) {
  return Field<Owner, Member>::kWireSize;
}
template <typename Owner, typename Entry, std::size_t Capacity>
constexpr std::size_t fixed_size(const CountedEntries<Owner, Entry, Capacity> &) {
  return 1;
}

// Payload bytes of Record's fields, counting no entries: the whole payload of a fixed layout.
template <typename Record>
constexpr std::size_t fixed_payload_size() {
  return std::apply(
      [](const auto &...fields) { return (std::size_t{0} + ... + fixed_size(fields)); },
      Layout<Record>::kFields);
}

// Wire bytes of one of Record's counted entries; 0 when Record has none.
template <typename Record>
constexpr std::size_t entry_size() {
  std::size_t size = 0;
  std::apply(
      [&](const auto &...fields) {
        (
            [&](const auto &field) {
              if constexpr (requires { field.entries; }) {
                size = fixed_payload_size<typename std::decay_t<decltype(field)>::EntryType>();
              }
            }(fields),
            ...);
      },
      Layout<Record>::kFields);
  return size;
}

// ---- Scalar fields by name ----------------------------------------------------------------

// One scalar field of a catalogue record at a fixed place in the payload.
struct ScalarField {
  std::string_view name;
  WireType wire_type;
  std::size_t offset;  // from the first payload byte
};

// True for the integer wire types.
constexpr bool is_integer(WireType type) {
  return type != WireType::kF32 && type != WireType::kF64;
}

// Calls visit(ScalarField) for each scalar field of the record of catalogue type type that lies
// at a fixed payload offset, in wire order: every field before the counted entries that is not
// an array, the count byte included. Returns false, calling nothing, when type is not in the
// catalogue.
template <typename Visit>
bool for_each_scalar_field(unsigned type, Visit &&visit) {
  return visit_catalogue_type(type, [&](auto kind) {
    using Record = typename decltype(kind)::Record;
    std::size_t offset = 0;
    bool fixed = true;  // no counted entries yet
    const auto walk = [&](const auto &field) {
      using Described = std::decay_t<decltype(field)>;
      if constexpr (requires { field.entries; }) {
        if (fixed) visit(ScalarField{field.count_name, WireType::kU8, offset});
        fixed = false;
      } else {
        if (fixed && !Described::kIsArray) {
          visit(ScalarField{field.name, Described::kWireType, offset});
        }
        offset += Described::kWireSize;
      }
    };
    std::apply([&](const auto &...fields) { (walk(fields), ...); }, Layout<Record>::kFields);
  });
}

// The bits of integer field at payload (which holds the whole field) as an unsigned number of
// the field's width: a signed field's two's complement, so -1 in an i16 is 65535.
inline uint32_t read_integer_bits(const uint8_t *payload, const ScalarField &field) {
  const uint8_t *cursor = payload + field.offset;
  switch (wire_size(field.wire_type)) {
    case 1:
      return *cursor;
    case 2:
      return be_read_u16(&cursor);
    default:
      return be_read_u32(&cursor);
  }
}

}  // namespace protolib

#endif  // PROTOLIB_CATALOGUE_HPP
