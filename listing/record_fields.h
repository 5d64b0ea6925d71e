// record_fields.h - the catalogue as data for code that prints or reads records by field name:
// each catalogue type with its record and decode routine, and each record's fields with their
// names in wire order. The names are the record members' names in <protolib/decoder.h>.
#ifndef LISTING_RECORD_FIELDS_H
#define LISTING_RECORD_FIELDS_H

#include <protolib/decoder.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <tuple>

// The entry list of a type-21 or type-22 record: its first count entries are the packet's. On
// the wire the count byte comes right before the entries. Entry and Count are const-qualified
// when the record is.
template <typename Entry, std::size_t Capacity, typename Count>
struct EntryList {
  Entry (&entries)[Capacity];
  Count &count;
};

template <typename Entry, std::size_t Capacity, typename Count>
EntryList<Entry, Capacity, Count> entry_list(Entry (&entries)[Capacity], Count &count) {
  return {entries, count};
}

// One field of Record: its name and its member.
template <typename Record, typename Member>
struct RecordField {
  constexpr RecordField(std::string_view field_name, Member Record::*field)
      : name(field_name), member(field) {}
  std::string_view name;
  Member Record::*member;
};

// The fields of each record and entry after fresh, in wire order (fresh is not sent); the
// pointer only selects the overload.
constexpr auto fields_of(const Type1Record *) {
  return std::tuple(RecordField{"lead", &Type1Record::lead},
                    RecordField{"uword", &Type1Record::uword},
                    RecordField{"word", &Type1Record::word});
}
constexpr auto fields_of(const Type2Record *) {
  return std::tuple(RecordField{"lead", &Type2Record::lead},
                    RecordField{"words", &Type2Record::words},
                    RecordField{"tail", &Type2Record::tail});
}
constexpr auto fields_of(const Type3Record *) {
  return std::tuple(RecordField{"lead", &Type3Record::lead},
                    RecordField{"words", &Type3Record::words},
                    RecordField{"tail", &Type3Record::tail});
}
constexpr auto fields_of(const Type9Record *) {
  return std::tuple(
      RecordField{"words", &Type9Record::words}, RecordField{"uwords", &Type9Record::uwords},
      RecordField{"uword", &Type9Record::uword}, RecordField{"ulong", &Type9Record::ulong});
}
constexpr auto fields_of(const Type10Record *) {
  return std::tuple(
      RecordField{"lead", &Type10Record::lead}, RecordField{"words", &Type10Record::words},
      RecordField{"longs", &Type10Record::longs}, RecordField{"tail", &Type10Record::tail});
}
constexpr auto fields_of(const Type12Record *) {
  return std::tuple(RecordField{"lead", &Type12Record::lead},
                    RecordField{"longs", &Type12Record::longs},
                    RecordField{"tail", &Type12Record::tail});
}
constexpr auto fields_of(const Type15Record *) {
  return std::tuple(RecordField{"lead", &Type15Record::lead},
                    RecordField{"uwords", &Type15Record::uwords},
                    RecordField{"tail", &Type15Record::tail});
}
constexpr auto fields_of(const Type20Record *) {
  return std::tuple(
      RecordField{"lead", &Type20Record::lead}, RecordField{"uword_a", &Type20Record::uword_a},
      RecordField{"uword_b", &Type20Record::uword_b}, RecordField{"longs", &Type20Record::longs},
      RecordField{"uwords", &Type20Record::uwords});
}
constexpr auto fields_of(const Type21Entry *) {
  return std::tuple(RecordField{"bytes", &Type21Entry::bytes},
                    RecordField{"value", &Type21Entry::value});
}
constexpr auto fields_of(const Type21Record *) {
  return std::tuple(RecordField{"lead", &Type21Record::lead},
                    RecordField{"info", &Type21Record::info},
                    RecordField{"count", &Type21Record::count});
}
constexpr auto fields_of(const Type22Entry *) {
  return std::tuple(RecordField{"d1", &Type22Entry::d1}, RecordField{"d2", &Type22Entry::d2},
                    RecordField{"f", &Type22Entry::f}, RecordField{"bytes", &Type22Entry::bytes});
}
constexpr auto fields_of(const Type22Record *) {
  return std::tuple(
      RecordField{"lead", &Type22Record::lead}, RecordField{"uword", &Type22Record::uword},
      RecordField{"info", &Type22Record::info}, RecordField{"count", &Type22Record::count});
}
constexpr auto fields_of(const Type23Record *) {
  return std::tuple(
      RecordField{"lead", &Type23Record::lead}, RecordField{"long_a", &Type23Record::long_a},
      RecordField{"long_b", &Type23Record::long_b}, RecordField{"ulong_a", &Type23Record::ulong_a},
      RecordField{"ulong_b", &Type23Record::ulong_b});
}
constexpr auto fields_of(const Type25Record *) {
  return std::tuple(
      RecordField{"lead", &Type25Record::lead}, RecordField{"ulong", &Type25Record::ulong},
      RecordField{"uword", &Type25Record::uword}, RecordField{"bytes", &Type25Record::bytes});
}
constexpr auto fields_of(const Type26Record *) {
  return std::tuple(RecordField{"lead", &Type26Record::lead},
                    RecordField{"bytes", &Type26Record::bytes});
}
constexpr auto fields_of(const Type27Record *) {
  return std::tuple(
      RecordField{"lead", &Type27Record::lead}, RecordField{"ulong", &Type27Record::ulong},
      RecordField{"long_a", &Type27Record::long_a}, RecordField{"uword", &Type27Record::uword},
      RecordField{"bytes", &Type27Record::bytes});
}

// Calls visit(name, field) for each field of record (a record or entry, const or not) in wire
// order: a reference to a scalar or an array, and for types 21 and 22, after count, the
// EntryList named "entries".
template <typename Record, typename Visit>
void for_each_field(Record &record, Visit &&visit) {
  std::apply([&](const auto &...fields) { (visit(fields.name, record.*fields.member), ...); },
             fields_of(&record));
  if constexpr (requires { record.entries; }) {
    visit(std::string_view("entries"), entry_list(record.entries, record.count));
  }
}

// One catalogue type: its type byte, record and decode routine.
template <uint8_t Type, typename RecordType, void (*Decode)(RecordType *, const uint8_t *)>
struct CatalogueType {
  using Record = RecordType;
  static constexpr uint8_t kType = Type;
  // Decodes the packet whose length byte is at length_byte into record, as the library does.
  static void decode(Record &record, const uint8_t *length_byte) { Decode(&record, length_byte); }
};

using CatalogueTypes = std::tuple<
    CatalogueType<1, Type1Record, decode_type1>, CatalogueType<2, Type2Record, decode_type2>,
    CatalogueType<3, Type3Record, decode_type3>, CatalogueType<9, Type9Record, decode_type9>,
    CatalogueType<10, Type10Record, decode_type10>, CatalogueType<12, Type12Record, decode_type12>,
    CatalogueType<15, Type15Record, decode_type15>, CatalogueType<20, Type20Record, decode_type20>,
    CatalogueType<21, Type21Record, decode_type21>, CatalogueType<22, Type22Record, decode_type22>,
    CatalogueType<23, Type23Record, decode_type23>, CatalogueType<25, Type25Record, decode_type25>,
    CatalogueType<26, Type26Record, decode_type26>, CatalogueType<27, Type27Record, decode_type27>>;

// Calls visit(CatalogueType<...>{}) for the catalogue type numbered type and returns true; returns
// false, calling nothing, when type is not in the catalogue.
template <typename Visit>
bool visit_catalogue_type(uint8_t type, Visit &&visit) {
  bool found = false;
  const auto visit_if_named = [&](auto kind) {
    if (type != decltype(kind)::kType) return;
    visit(kind);
    found = true;
  };
  std::apply([&](auto... kinds) { (visit_if_named(kinds), ...); }, CatalogueTypes{});
  return found;
}

#endif  // LISTING_RECORD_FIELDS_H
