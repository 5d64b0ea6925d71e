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

// Writes ,"name":value for a field of one value of owner, at Position in its layout.
template <typename Position, typename Owner>
char *put_scalar(char *out, const Owner &owner) {
  constexpr const auto &kField = Position::kDescription;
  static constexpr auto kKey = joined<kField.name.size()>(",\"", kField.name, "\":");
  const auto value = owner.*kField.member;
  out = put_literal(out, kKey);
  if constexpr (std::floating_point<decltype(value)>) {
    static constexpr auto kBitsKey =
        joined<kField.name.size()>("null,\"", kField.name, "_bits\":\"");
    if (std::isfinite(value)) return io::put_shortest(out, value);
    out = io::put_bits(put_literal(out, kBitsKey), value);
    *out++ = '"';
    return out;
  } else {
    return io::put_decimal(out, value);
  }
}

// Writes ,"name":[v0,v1,...] for an array field of owner, at Position in its layout.
template <typename Position, typename Owner>
char *put_array(char *out, const Owner &owner) {
  constexpr const auto &kField = Position::kDescription;
  static_assert(std::integral<typename std::remove_cvref_t<decltype(kField)>::Element>);
  static constexpr auto kKey = joined<kField.name.size()>(",\"", kField.name, "\":[");
  out = put_literal(out, kKey);
  for (const auto element : owner.*kField.member) {
    out = io::put_decimal(out, element);
    *out++ = ',';
  }
  out[-1] = ']';  // in place of the last element's comma
  return out;
}

// Writes ,"count":N,"entries":[{...},...] for owner's counted entries, at Position in its layout.
template <typename Position, typename Owner>
char *put_counted(char *out, const Owner &owner) {
  constexpr const auto &kList = Position::kDescription;
  static constexpr auto kCountKey = joined<kList.count_name.size()>(",\"", kList.count_name, "\":");
  static constexpr auto kEntriesKey = joined<kList.name.size()>(",\"", kList.name, "\":[");
  const uint8_t count = owner.*kList.count;
  out = put_literal(io::put_decimal(put_literal(out, kCountKey), count), kEntriesKey);
  const auto &entries = owner.*kList.entries;
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
  return out;
}

}  // namespace json_detail

// Writes each field of owner (a catalogue record or entry) in wire order as ,"name":value:
// integers in decimal, arrays as arrays, counted entries as ,"count":N,"entries":[{...},...]
// up to the count and the capacity, a finite floating-point value in shortest form, a NaN or
// infinite one as null followed by ,"name_bits":"<hex>". Returns the position after the last.
template <typename Owner>
char *put_json_fields(char *out, const Owner &owner) {
  protolib::walk_layout<Owner>(protolib::LayoutHooks{
      [&](const auto &, auto at) { out = json_detail::put_scalar<decltype(at)>(out, owner); },
      [&](const auto &, auto at) { out = json_detail::put_array<decltype(at)>(out, owner); },
      [&](const auto &, auto at) { out = json_detail::put_counted<decltype(at)>(out, owner); }});
  return out;
}

}  // namespace capdump

#endif  // CAPDUMP_SRC_JSON_FIELDS_H
