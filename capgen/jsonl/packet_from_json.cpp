// Object to packet: a record filled field by field from the object's keys, then encoded; or the
// raw payload framed as it is.
#include "capgen/jsonl/packet_from_json.h"

#include <protolib/wire.h>
#include <protolib/writer.h>
#include <nlohmann/json.hpp>
#include <protolib/catalogue.hpp>

#include <algorithm>
#include <bit>
#include <charconv>
#include <concepts>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "capgen/jsonl/input_excerpt.h"
#include "cli/values.h"
#include "field_rules/field_rules.h"

namespace capgen {

namespace {

using nlohmann::json;

// Keys a packet object may carry besides its record's fields.
const std::vector<std::string> kPacketKeys = {"offset", "time",      "type",   "length",
                                              "form",   "recovered", "payload"};

template <std::integral Int>
std::optional<Int> integer_of(const json &value) {
  if (value.is_number_unsigned()) return field_rules::integer_value<Int>(value.get<uint64_t>());
  if (value.is_number_integer()) return field_rules::integer_value<Int>(value.get<int64_t>());
  return std::nullopt;
}

// Reads hex, two digits a byte, into out[0..size); false unless hex is exactly that long.
bool bytes_of_hex(std::string_view hex, uint8_t *out, std::size_t size) {
  if (hex.size() != 2 * size) return false;
  for (std::size_t i = 0; i < size; ++i) {
    const char *digits = hex.data() + 2 * i;
    const auto [end, error] = std::from_chars(digits, digits + 2, out[i], 16);
    if (error != std::errc() || end != digits + 2) return false;
  }
  return true;
}

// Fills the fields it is given from the keys of one JSON object, noting the keys it used.
class FieldsFromJson {
 public:
  FieldsFromJson(const json &object, std::string context)
      : object_(object), context_(std::move(context)) {}

  // The first error met, or empty.
  const std::string &error() const { return error_; }

  // Sets the error when the object has a key that named no field and is not in also_allowed.
  void check_keys(const std::vector<std::string> &also_allowed) {
    for (const auto &[key, value] : object_.items()) {
      if (std::find(used_.begin(), used_.end(), key) == used_.end() &&
          std::find(also_allowed.begin(), also_allowed.end(), key) == also_allowed.end()) {
        return fail("unknown field " + cli::quoted(input_excerpt(key)));
      }
    }
  }

  template <std::integral Int>
  void operator()(std::string_view name, Int &field) {
    const json *value = take(name);
    if (value != nullptr) field = integer(name, *value, field);
  }

  template <std::floating_point Float>
  void operator()(std::string_view name, Float &field) {
    const std::string bits_name = std::string(name) + "_bits";
    const json *bits = take(bits_name);
    const json *value = take(name);
    if (bits != nullptr) {
      if (value != nullptr && !value->is_null()) {
        return fail_field(name, "null when " + cli::quoted(bits_name) + " is given");
      }
      using Bits = std::conditional_t<sizeof(Float) == 4, uint32_t, uint64_t>;
      uint8_t bytes[sizeof(Bits)];
      if (!bits->is_string() ||
          !bytes_of_hex(bits->get_ref<const std::string &>(), bytes, sizeof bytes)) {
        return fail_field(bits_name, std::to_string(2 * sizeof bytes) + " hexadecimal digits");
      }
      Bits pattern = 0;
      for (uint8_t byte : bytes) pattern = static_cast<Bits>(pattern << 8 | byte);
      field = std::bit_cast<Float>(pattern);
    } else if (value != nullptr) {
      if (!value->is_number())
        return fail_field(name, "a number, or null with " + cli::quoted(bits_name));
      const std::optional<Float> number = field_rules::floating_value<Float>(value->get<double>());
      if (!number) return fail_field(name, field_rules::kFloatRange);
      field = *number;
    }
  }

  template <std::integral Int, std::size_t N>
  void operator()(std::string_view name, Int (&field)[N]) {
    const json *value = take(name);
    if (value == nullptr) return;
    if (!value->is_array() || value->size() != N) {
      return fail_field(name, "an array of " + std::to_string(N) + " integers");
    }
    for (std::size_t i = 0; i < N; ++i) field[i] = integer(name, (*value)[i], field[i]);
  }

  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view name, protolib::EntryList<Entry, Capacity, Count> list) {
    const json *value = take(name);
    if (value == nullptr) return;
    if (!value->is_array() || value->size() > Capacity) {
      return fail_field(name, "an array of at most " + std::to_string(Capacity) + " objects");
    }
    const std::optional<uint8_t> count = field_rules::entry_count(
        object_.contains("count") ? std::optional<uint8_t>(list.count) : std::nullopt,
        value->size());
    if (!count) return fail_field(name, field_rules::kEntriesAsCounted);
    list.count = *count;
    for (std::size_t i = 0; i < value->size() && error_.empty(); ++i) {
      const json &entry = (*value)[i];
      if (!entry.is_object()) return fail_field(name, "an array of objects");
      FieldsFromJson fields(entry, context_ + std::string(name) + "[" + std::to_string(i) + "] ");
      protolib::for_each_field(list.entries[i], fields);
      if (fields.error_.empty()) fields.check_keys({});
      error_ = fields.error_;
    }
  }

 private:
  // The value of key, or null when the object lacks it or an error was met.
  const json *take(std::string_view key) {
    used_.emplace_back(key);
    const auto found = object_.find(std::string(key));
    return error_.empty() && found != object_.end() ? &*found : nullptr;
  }

  template <std::integral Int>
  Int integer(std::string_view name, const json &value, Int unchanged) {
    const std::optional<Int> number = integer_of<Int>(value);
    if (!number) fail_field(name, field_rules::integer_range<Int>());
    return number.value_or(unchanged);
  }

  void fail_field(std::string_view name, std::string_view expected) {
    fail(field_rules::must_be(name, expected));
  }
  void fail(const std::string &message) {
    if (error_.empty()) error_ = context_ + message;
  }

  const json &object_;
  std::string context_;  // where the object lies in the line, for messages
  std::vector<std::string> used_;
  std::string error_;
};

template <typename Record>
JsonPacket record_packet(const json &object, uint8_t *start) {
  Record record{};
  FieldsFromJson fields(object, "");
  protolib::for_each_field(record, fields);
  if (fields.error().empty()) fields.check_keys(kPacketKeys);
  if (!fields.error().empty()) return {0, fields.error()};
  return {protolib::CatalogueType<Record>::encode(record, start), {}};
}

JsonPacket raw_packet(uint8_t type, const json &payload, uint8_t *start) {
  uint8_t *end = packet_begin(start, type);
  const std::string_view hex =
      payload.is_string() ? std::string_view(payload.get_ref<const std::string &>()) : "?";
  if (hex.size() % 2 != 0 || hex.size() / 2 > 255 || !bytes_of_hex(hex, end, hex.size() / 2)) {
    return {0, "\"payload\" must be up to 255 bytes in hexadecimal, two digits a byte"};
  }
  return {packet_finish(start, end + hex.size() / 2), {}};
}

}  // namespace

JsonPacket packet_from_json(const json &object, uint8_t *start) {
  if (!object.is_object()) return {0, "not a JSON object"};
  const auto type_value = object.find("type");
  const std::optional<uint8_t> type =
      type_value == object.end() ? std::nullopt : integer_of<uint8_t>(*type_value);
  if (!type) return {0, "\"type\" must be an integer from 0 to 255"};
  JsonPacket packet;
  const auto payload = object.find("payload");
  if (payload != object.end()) {
    packet = raw_packet(*type, *payload, start);
  } else if (!protolib::visit_catalogue_type(*type, [&](auto kind) {
               packet = record_packet<typename decltype(kind)::Record>(object, start);
             })) {
    return {0, "type " + std::to_string(*type) +
                   " is not in the catalogue: give its payload as \"payload\""};
  }
  const auto length = object.find("length");
  if (packet.error.empty() && length != object.end() &&
      integer_of<int32_t>(*length) != packet.size - WIRE_OVERHEAD) {
    packet.error = "\"length\" is " + input_excerpt(length->dump()) + " but the packet holds " +
                   std::to_string(packet.size - WIRE_OVERHEAD) + " payload bytes";
  }
  return packet;
}

}  // namespace capgen
