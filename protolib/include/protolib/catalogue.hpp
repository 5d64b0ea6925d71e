// catalogue.hpp - the packet catalogue, described once, in <protolib/packet_types.def>, and made
// here into a description C++ can walk. For each catalogue type: its type byte, its record
// (declared in <protolib/decoder.h>), its record's place in PacketDecoder, its decode and encode
// routines, and its payload layout field by field: name, wire type and array length, and for
// types 21 and 22 the count byte with the entries it counts and their capacity. The payload
// sizes follow from the layout, which is checked at compile time to describe every member of
// its record in order. The library's decoding, encoding and dispatch walk
// this description, and so does every tool that prints, reads or makes packets by field name.
//
// C++20 only (it uses concepts): C callers use the records and routines of decoder.h
// and writer.h, which this header describes. CMake users of protolib::protolib get -std=c++20
// from the target; others compile with -std=c++20 or later.
#ifndef PROTOLIB_CATALOGUE_HPP
#if __cplusplus < 202002L
#error "<protolib/catalogue.hpp> needs C++20: compile with -std=c++20 or later"
#endif
#define PROTOLIB_CATALOGUE_HPP

#include <protolib/decoder.h>
#include <protolib/wire.h>
#include <protolib/writer.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

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

// ---- Walking a layout ---------------------------------------------------------------------

namespace layout_detail {
template <typename Description>
inline constexpr bool kCounted = false;
template <typename Owner, typename Entry, std::size_t Capacity>
inline constexpr bool kCounted<CountedEntries<Owner, Entry, Capacity>> = true;
}  // namespace layout_detail

// True for the description of a count byte and its entries (CountedEntries), false for a
// Field's: the one test of which kind a layout's description is.
template <typename Description>
concept CountedDescription = layout_detail::kCounted<std::remove_cvref_t<Description>>;

// Layout<R> describes record or entry R: kFields, a tuple of Field and CountedEntries in wire
// order (fresh is never sent). A catalogue record's Layout also names kType, its type byte;
// kSlot, its record in PacketDecoder; kDecode and kEncode, its routines in decoder.h and
// writer.h. Every Layout is made from <protolib/packet_types.def>.
template <typename Record>
struct Layout;

// walk_layout's hooks as three callables, for callers that hold lambdas.
template <typename Scalar, typename Array, typename Counted>
struct LayoutHooks {
  Scalar scalar;
  Array array;
  Counted counted;
};
template <typename Scalar, typename Array, typename Counted>
LayoutHooks(Scalar, Array, Counted) -> LayoutHooks<Scalar, Array, Counted>;

// The I-th description of Layout<Owner>::kFields as a type, which walk_layout hands to hooks that
// take a second argument: kDescription is usable in constant expressions (text built at compile
// time from a field's name), which a hook's parameter is not.
template <typename Owner, std::size_t I>
struct LayoutPosition {
  static constexpr std::size_t kIndex = I;
  static constexpr const auto &kDescription = std::get<I>(Layout<Owner>::kFields);
};

namespace layout_detail {
// Calls hook with description, and with its position too when the hook takes it.
template <typename Hook, typename Description, typename Position>
constexpr void call(Hook &hook, const Description &description, Position position) {
  if constexpr (std::is_invocable_v<Hook &, const Description &, Position>) {
    hook(description, position);
  } else {
    hook(description);
  }
}

// Calls the hook of the kind of the I-th description of Owner's layout.
template <typename Owner, std::size_t I, typename Hooks>
constexpr void call_hook(Hooks &hooks) {
  const auto &description = std::get<I>(Layout<Owner>::kFields);
  using Description = std::remove_cvref_t<decltype(description)>;
  if constexpr (CountedDescription<Description>) {
    call(hooks.counted, description, LayoutPosition<Owner, I>{});
  } else if constexpr (Description::kIsArray) {
    call(hooks.array, description, LayoutPosition<Owner, I>{});
  } else {
    call(hooks.scalar, description, LayoutPosition<Owner, I>{});
  }
}
}  // namespace layout_detail

// The way to walk a layout. Calls, for each description of Layout<Owner>::kFields in wire order,
// the hook of its kind: hooks.scalar(field) for a Field of one value, hooks.array(field) for a
// Field of a fixed array, hooks.counted(list) for CountedEntries. Each hook receives the
// description itself, which lives as long as the program; its type holds the constants
// (kWireType, kLength, kCapacity, EntryType). A hook that also takes a second argument receives
// the description's LayoutPosition. Usable in constant expressions when the hooks are.
template <typename Owner, typename Hooks>
constexpr void walk_layout(Hooks &&hooks) {
  constexpr std::size_t kCount =
      std::tuple_size_v<std::remove_cvref_t<decltype(Layout<Owner>::kFields)>>;
  [&hooks]<std::size_t... I>(std::index_sequence<I...>) {
    (layout_detail::call_hook<Owner, I>(hooks), ...);
  }
  (std::make_index_sequence<kCount>{});
}

// ---- The catalogue, from packet_types.def -------------------------------------------------

namespace layout_detail {
// The descriptions after the leading nullptr, as a tuple: the nullptr lets every description
// made from packet_types.def bring its own leading comma.
template <typename... Descriptions>
constexpr std::tuple<Descriptions...> described(std::nullptr_t, Descriptions... descriptions) {
  return {descriptions...};
}

// The records after the leading void, as a tuple; the void plays the nullptr's part.
template <typename Leading, typename... Records>
struct RecordsAfter {
  using Tuple = std::tuple<Records...>;
};
}  // namespace layout_detail

// fields is a run of ", description" pieces: it follows nullptr unparenthesised on purpose.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define PROTOLIB_SCALAR(type, name) , Field(#name, &Owner::name)
#define PROTOLIB_ARRAY(type, name, length) , Field(#name, &Owner::name)
#define PROTOLIB_COUNTED(count, Entry, entries, capacity) \
  , CountedEntries(#count, &Owner::count, #entries, &Owner::entries)
#define PROTOLIB_ENTRY(number, fields)                 \
  template <>                                          \
  struct Layout<Type##number##Entry> {                 \
    static constexpr auto kFields = [] {               \
      using Owner = Type##number##Entry;               \
      return layout_detail::described(nullptr fields); \
    }();                                               \
  };
#define PROTOLIB_PACKET(number, fields)                        \
  template <>                                                  \
  struct Layout<Type##number##Record> {                        \
    static constexpr uint8_t kType = number;                   \
    static constexpr auto kSlot = &PacketDecoder::rec##number; \
    static constexpr auto kDecode = decode_type##number;       \
    static constexpr auto kEncode = encode_type##number;       \
    static constexpr auto kFields = [] {                       \
      using Owner = Type##number##Record;                      \
      return layout_detail::described(nullptr fields);         \
    }();                                                       \
  };
// NOLINTEND(bugprone-macro-parentheses)
#include <protolib/packet_types.def>

// Every catalogue record, in ascending order of type.
#define PROTOLIB_PACKET(number, fields) , Type##number##Record
using CatalogueRecords = layout_detail::RecordsAfter<void
#include <protolib/packet_types.def>
                                                     >::Tuple;

// ---- Checking each layout against its record ---------------------------------------------

namespace layout_detail {
template <typename T, std::size_t First, std::size_t Step, std::size_t... I>
constexpr T marked(std::index_sequence<I...>);
template <typename T, std::size_t N = 0>
constexpr std::size_t member_count();

// Converts to any arithmetic type as the number Mark, and to an aggregate as one whose every
// member holds Mark (an array in its first element). T{{Marker<1>{}}, {Marker<2>{}}, ...} gives
// member i of aggregate T the mark i, and compiles only while T has as many members as markers.
template <std::size_t Mark>
struct Marker {
  template <typename T>
  requires std::is_arithmetic_v<T> || std::is_class_v<T>
  constexpr operator T() const {
    if constexpr (std::is_class_v<T>) {
      return marked<T, Mark, 0>(std::make_index_sequence<member_count<T>()>{});
    } else {
      return static_cast<T>(Mark);
    }
  }
};

template <typename T, std::size_t... I>
constexpr bool takes_markers(std::index_sequence<I...>) {
  return requires {
    T{{Marker<I + 1>{}}...};
  };
}

// Members of aggregate T: the most markers it takes, each braced so that none enters an array.
template <typename T, std::size_t N>
constexpr std::size_t member_count() {
  if constexpr (takes_markers<T>(std::make_index_sequence<N + 1>{})) {
    return member_count<T, N + 1>();
  } else {
    return N;
  }
}

// T with member i (from 0) marked First + Step * i: by its position from 1 with First and Step
// 1, all alike with Step 0.
template <typename T, std::size_t First, std::size_t Step, std::size_t... I>
constexpr T marked(std::index_sequence<I...>) {
  return T{{Marker<First + Step * I>{}}...};
}

// The mark value holds: a scalar's, an array's first element's, an entry's members'.
template <typename T>
constexpr std::size_t mark_of(const T &value) {
  if constexpr (std::is_array_v<T>) {
    return mark_of(value[0]);
  } else if constexpr (std::is_arithmetic_v<T>) {
    return static_cast<std::size_t>(value);
  } else {
    std::size_t mark = 0;
    const auto member = [&](const auto &field) {
      mark = std::max(mark, mark_of(value.*field.member));
    };
    walk_layout<T>(LayoutHooks{member, member, [&](const auto &list) {
                                 mark = std::max(mark, mark_of(value.*list.count));
                               }});
    return mark;
  }
}

// Members before the first that a layout describes: fresh in a catalogue record.
template <typename Owner>
constexpr std::size_t unsent_members() {
  if constexpr (requires { Layout<Owner>::kType; }) {
    return 1;
  } else {
    return 0;
  }
}
}  // namespace layout_detail

// True when Layout<Owner> describes as many members as Owner has besides fresh (counted entries
// describe two: the count byte and the entry array).
template <typename Owner>
constexpr bool layout_lists_every_member() {
  std::size_t described = 0;
  const auto one = [&described](const auto &) { ++described; };
  walk_layout<Owner>(LayoutHooks{one, one, [&described](const auto &) { described += 2; }});
  return layout_detail::unsent_members<Owner>() + described == layout_detail::member_count<Owner>();
}

// True when Layout<Owner> describes Owner's members in the order of their offsets, after fresh.
template <typename Owner>
constexpr bool layout_in_member_order() {
  constexpr Owner kMarked = layout_detail::marked<Owner, 1, 1>(
      std::make_index_sequence<layout_detail::member_count<Owner>()>{});
  std::size_t last = layout_detail::unsent_members<Owner>();
  bool ascending = true;
  const auto next = [&](const auto &member) {
    const std::size_t mark = layout_detail::mark_of(kMarked.*member);
    ascending = ascending && mark > last;
    last = mark;
  };
  const auto field = [&](const auto &described) { next(described.member); };
  walk_layout<Owner>(LayoutHooks{field, field, [&](const auto &list) {
                                   next(list.count);
                                   next(list.entries);
                                 }});
  return ascending;
}

#define PROTOLIB_CHECK_LAYOUT(Owner)                                        \
  static_assert(layout_lists_every_member<Owner>(),                         \
                "Layout<" #Owner "> must describe every member but fresh"); \
  static_assert(layout_in_member_order<Owner>(),                            \
                "Layout<" #Owner "> must describe the members in their order");
#define PROTOLIB_ENTRY(number, fields) PROTOLIB_CHECK_LAYOUT(Type##number##Entry)
#define PROTOLIB_PACKET(number, fields) PROTOLIB_CHECK_LAYOUT(Type##number##Record)
#include <protolib/packet_types.def>
#undef PROTOLIB_CHECK_LAYOUT

// ---- Walking the catalogue ----------------------------------------------------------------

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

namespace layout_detail {
template <typename Visit, typename... Records>
constexpr void visit_each(Visit &visit, std::type_identity<std::tuple<Records...>>) {
  (visit(CatalogueType<Records>{}), ...);
}
}  // namespace layout_detail

// Calls visit(CatalogueType<R>{}) for every catalogue record R, in ascending order of type. No
// record is made.
template <typename Visit>
constexpr void for_each_catalogue_type(Visit &&visit) {
  layout_detail::visit_each(visit, std::type_identity<CatalogueRecords>{});
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
static_assert(std::adjacent_find(kCatalogueTypes.begin(), kCatalogueTypes.end(),
                                 std::greater_equal<>()) == kCatalogueTypes.end(),
              "packet_types.def must list its types in ascending order");

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
  const auto member = [&](const auto &field) { visit(field.name, record.*field.member); };
  walk_layout<std::remove_const_t<Record>>(
      LayoutHooks{member, member, [&](const auto &list) {
                    auto &count = record.*list.count;
                    visit(list.count_name, count);
                    visit(list.name, EntryList{record.*list.entries, count});
                  }});
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

// What a payload of a layout is made of, in bytes and entries.
struct PayloadShape {
  std::size_t fixed = 0;         // bytes besides the entries: all of a fixed layout's payload
  std::size_t count_offset = 0;  // offset of the count byte; fixed when there is none
  std::size_t entry = 0;         // bytes of one entry; 0 without counted entries
  std::size_t capacity = 0;      // entries the record keeps; 0 without counted entries
  // The payload of capacity entries, the longest a record's decoding reads.
  constexpr std::size_t longest() const { return fixed + capacity * entry; }
};

// The shape of Record's payload (a record's or an entry's).
template <typename Record>
constexpr PayloadShape payload_shape() {
  PayloadShape shape;
  bool counted = false;
  const auto field = [&](const auto &described) {
    shape.fixed += fixed_size(described);
    if (!counted) shape.count_offset = shape.fixed;
  };
  walk_layout<Record>(LayoutHooks{field, field, [&](const auto &list) {
                                    using List = std::remove_cvref_t<decltype(list)>;
                                    counted = true;
                                    shape.count_offset = shape.fixed;
                                    shape.fixed += fixed_size(list);
                                    shape.entry = payload_shape<typename List::EntryType>().fixed;
                                    shape.capacity = List::kCapacity;
                                  }});
  return shape;
}

// Payload bytes of Record's fields, counting no entries: the whole payload of a fixed layout.
template <typename Record>
constexpr std::size_t fixed_payload_size() {
  return payload_shape<Record>().fixed;
}

// Wire bytes of one of Record's counted entries; 0 when Record has none.
template <typename Record>
constexpr std::size_t entry_size() {
  return payload_shape<Record>().entry;
}

// ---- Decoding into records ----------------------------------------------------------------

// Decodes payload, length bytes, into record and sets fresh to 1, reading no byte at or past
// payload + length: fields past the end of a short payload read as 0, a long payload's bytes past
// the layout are ignored; a count above the capacity is lowered to it, as in decode_typeN.
#define PROTOLIB_PACKET(number, fields) \
  void decode_payload(Type##number##Record &record, const uint8_t *payload, std::size_t length);
#include <protolib/packet_types.def>

namespace layout_detail {
// Decodes the packet whose length byte is at length_byte into decoder's record of type Record.
template <typename Record>
void decode_slot(PacketDecoder *decoder, const uint8_t *length_byte) {
  Layout<Record>::kDecode(&(decoder->*Layout<Record>::kSlot), length_byte);
}

// decode_slot of every type byte: one per catalogue type, null for the others.
inline constexpr auto kSlotDecoders = [] {
  std::array<void (*)(PacketDecoder *, const uint8_t *), 256> table{};
  for_each_catalogue_type(
      [&table](auto kind) { table[kind.kType] = decode_slot<typename decltype(kind)::Record>; });
  return table;
}();
}  // namespace layout_detail

// Decodes packet (type byte, length byte, payload, in a buffer that holds its type's longest
// layout as the framer's does) into decoder's record of its type, as decoder_next does, and
// returns true; returns false, changing nothing, for a type outside the catalogue.
inline bool decode_into_slot(PacketDecoder &decoder, const uint8_t *packet) {
  const auto decode = layout_detail::kSlotDecoders[packet[0]];
  if (decode == nullptr) return false;
  decode(&decoder, packet + 1);
  return true;
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
    std::size_t offset = 0;
    bool fixed = true;  // no counted entries yet
    walk_layout<typename decltype(kind)::Record>(LayoutHooks{
        [&](const auto &field) {
          using Described = std::remove_cvref_t<decltype(field)>;
          if (fixed) visit(ScalarField{field.name, Described::kWireType, offset});
          offset += Described::kWireSize;
        },
        [&](const auto &array) { offset += std::remove_cvref_t<decltype(array)>::kWireSize; },
        [&](const auto &list) {
          if (fixed) visit(ScalarField{list.count_name, WireType::kU8, offset});
          fixed = false;
        }});
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
