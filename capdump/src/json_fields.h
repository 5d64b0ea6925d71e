// json_fields.h - a catalogue record's fields as the members of a JSON object, each key built
// once, at compile time, from the catalogue's field names.
#ifndef CAPDUMP_SRC_JSON_FIELDS_H
#define CAPDUMP_SRC_JSON_FIELDS_H

#include <protolib/catalogue.hpp>

#include <cmath>
#include <concepts>
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "capdump/src/constant_text.h"
#include "io/number_text.h"

namespace capdump {

template <typename Owner>
char *put_json_fields(char *out, const Owner &owner);

namespace json_detail {

// Writes ,"name":value for the I-th field of Owner's layout (a record or an entry).
template <typename Owner, std::size_t I>
inline char *put_member(char *out, const Owner &owner) {
  constexpr const auto &field = std::get<I>(protolib::Layout<Owner>::kFields);
  if constexpr (requires { field.entries; }) {
    static constexpr auto kCountKey =
        joined<field.count_name.size()>(",\"", field.count_name, "\":");
    static constexpr auto kEntriesKey = joined<field.name.size()>(",\"", field.name, "\":[");
    const uint8_t count = owner.*field.count;
    out = put_literal(io::put_decimal(put_literal(out, kCountKey), count), kEntriesKey);
    const auto &entries = owner.*field.entries;
    const std::size_t shown = std::min<std::size_t>(count, std::size(entries));
    for (std::size_t i = 0; i < shown; ++i) {
      char *first_key = out;
      out = put_json_fields(out, entries[i]);
      *first_key = '{';  // the first member's comma opens the object
      *out++ = '}';
      *out++ = ',';
    }
    if (shown > 0) --out;  // the last entry's comma
    *out++ = ']';
  } else {
    using Described = std::remove_cvref_t<decltype(field)>;
    using Element = typename Described::Element;
    const auto &value = owner.*field.member;
    if constexpr (Described::kIsArray) {
      static_assert(std::integral<Element> && Described::kLength > 0);
      static constexpr auto kKey = joined<field.name.size()>(",\"", field.name, "\":[");
      out = put_literal(out, kKey);
      for (const Element element : value) {
        out = io::put_decimal(out, element);
        *out++ = ',';
      }
      out[-1] = ']';  // in place of the last element's comma
    } else if constexpr (std::floating_point<Element>) {
      static constexpr auto kKey = joined<field.name.size()>(",\"", field.name, "\":");
      static constexpr auto kBitsKey =
          joined<field.name.size()>("null,\"", field.name, "_bits\":\"");
      out = put_literal(out, kKey);
      if (std::isfinite(value)) return io::put_shortest(out, value);
      out = io::put_bits(put_literal(out, kBitsKey), value);
      *out++ = '"';
    } else {
      static constexpr auto kKey = joined<field.name.size()>(",\"", field.name, "\":");
      out = io::put_decimal(put_literal(out, kKey), value);
    }
  }
  return out;
}

}  // namespace json_detail

// Writes each field of owner (a catalogue record or entry) in wire order as ,"name":value:
// integers in decimal, arrays as arrays, counted entries as ,"count":N,"entries":[{...},...]
// up to the count and the capacity, a finite floating-point value in shortest form, a NaN or
// infinite one as null followed by ,"name_bits":"<hex>". Returns the position after the last.
template <typename Owner>
char *put_json_fields(char *out, const Owner &owner) {
  constexpr std::size_t kFields =
      std::tuple_size_v<std::remove_cvref_t<decltype(protolib::Layout<Owner>::kFields)>>;
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    ((out = json_detail::put_member<Owner, I>(out, owner)), ...);
  }
  (std::make_index_sequence<kFields>{});
  return out;
}

}  // namespace capdump

#endif  // CAPDUMP_SRC_JSON_FIELDS_H
