// Packets built from field sets (packet_from_json: a catalogue record filled field by field,
// then encoded with the record encoder, as capgen --from-jsonl does), framed and decoded back.
//
// Input: a type byte (taken modulo the catalogue's size: always a catalogue type); then for each
// field of its record in wire order (entries' fields in turn), a choice byte and the value's
// bytes:
// - choice % 5 == 0: the field is left out (0; a count left out is that of the entries given);
// - 1: a value of the field's type (a float or double by its bits, given as "<name>_bits" when
//   it is not finite; an array element by element; counted entries: n % (capacity + 1) of them);
// - 2: an integer from 8 bytes, out of range for most fields (a float takes any double that
//   stays finite as a float); for counted entries, capacity + 1 entries;
// - 3: a string, which no field takes;
// - 4: an integer as a fraction (n + 0.5); for arrays and counted entries a bare number.
// Then a byte: odd adds a key that names no field.
//
// Promises checked: a field set with any value out of range or of the wrong kind, an unknown
// key, too many entries or a count other than the entries' is refused with a terminal-safe
// message; any other is written as one packet that the decoder frames whole, with no error, and
// decodes into the record the field set describes, field by field, bit for bit (a count above
// the capacity is sent as given and, as decoding does, lowered to the capacity in the record).
#include <nlohmann/json.hpp>
#include <protolib/catalogue.hpp>

#include <bit>
#include <cmath>
#include <concepts>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>

#include "capgen/jsonl/packet_from_json.h"
#include "fuzz/field_bytes.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/terminal_text.h"
#include "testing/test_packets.h"

namespace {

using nlohmann::json;

// Fills a record and a JSON object alike from the input, field by field; notes whether the
// object has something packet_from_json must refuse.
class FieldSetMaker {
 public:
  FieldSetMaker(FuzzInput &input, json &object, bool &refused)
      : input_(input), object_(object), refused_(refused) {}

  template <std::integral Int>
  void operator()(std::string_view name, Int &field) {
    const int choice = input_.byte() % 5;
    if (choice == 0) return;
    const uint64_t bits = value_bits(choice == 2 ? 8 : sizeof(Int));
    if (choice == 1) {
      field = static_cast<Int>(bits);
      object_[std::string(name)] = field;
    } else {
      give_wrong(
          name, choice, bits, [&bits] { return std::in_range<Int>(static_cast<int64_t>(bits)); },
          [&] { field = static_cast<Int>(static_cast<int64_t>(bits)); });
    }
  }

  template <std::floating_point Float>
  void operator()(std::string_view name, Float &field) {
    using Bits = std::conditional_t<sizeof(Float) == 4, uint32_t, uint64_t>;
    const int choice = input_.byte() % 5;
    if (choice == 0) return;
    if (choice == 1) {
      field = std::bit_cast<Float>(static_cast<Bits>(value_bits(sizeof(Float))));
      if (std::isfinite(field)) {
        object_[std::string(name)] = static_cast<double>(field);
      } else {
        char hex[2 * sizeof(Bits) + 1];
        std::snprintf(hex, sizeof hex, "%0*llx", static_cast<int>(2 * sizeof(Bits)),
                      static_cast<unsigned long long>(std::bit_cast<Bits>(field)));
        object_[std::string(name) + "_bits"] = hex;
        if (choice % 2 == 0) object_[std::string(name)] = nullptr;
      }
    } else if (choice == 2) {
      // A double that is a Float exactly is given; one far past the Float's range is refused.
      // Between the two, which Float the text means is packet_from_json's to choose, so such a
      // double (and one that is not finite) leaves the field out.
      const double value = std::bit_cast<double>(value_bits(8));
      if (!std::isfinite(value)) return;
      if (std::fabs(value) / 2 > std::numeric_limits<Float>::max()) {
        object_[std::string(name)] = value;
        refused_ = true;
      } else if (std::fabs(value) <= std::numeric_limits<Float>::max() &&
                 static_cast<double>(static_cast<Float>(value)) == value) {
        field = static_cast<Float>(value);
        object_[std::string(name)] = value;
      }
    } else {
      object_[std::string(name)] = "x";
      refused_ = true;
    }
  }

  template <std::integral Int, std::size_t N>
  void operator()(std::string_view name, Int (&field)[N]) {
    const int choice = input_.byte() % 5;
    if (choice == 0) return;
    if (choice == 1) {
      json values = json::array();
      for (Int &value : field) {
        value = static_cast<Int>(value_bits(sizeof(Int)));
        values.push_back(value);
      }
      object_[std::string(name)] = std::move(values);
      return;
    }
    object_[std::string(name)] = choice == 2 ? json::array() : choice == 3 ? json("x") : json(1);
    refused_ = true;
  }

  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view name, protolib::EntryList<Entry, Capacity, Count> list) {
    const int choice = input_.byte() % 5;
    if (choice == 0) return;
    if (choice >= 3) {
      object_[std::string(name)] = choice == 3 ? json("x") : json(1);
      refused_ = true;
      return;
    }
    const std::size_t n = choice == 1 ? input_.byte() % (Capacity + 1) : Capacity + 1;
    refused_ = refused_ || n > Capacity;
    json entries = json::array();
    for (std::size_t i = 0; i < n; ++i) {
      json entry = json::object();
      Entry scratch{};
      FieldSetMaker maker(input_, entry, refused_);
      protolib::for_each_field(i < Capacity ? list.entries[i] : scratch, maker);
      entries.push_back(std::move(entry));
    }
    // The count, given before the entries, must be theirs.
    if (object_.contains("count") && list.count != n) refused_ = true;
    list.count = static_cast<Count>(std::min(n, Capacity));
    object_[std::string(name)] = std::move(entries);
  }

 private:
  // width input bytes, most significant first, sign-extended from the top byte.
  uint64_t value_bits(std::size_t width) {
    uint64_t bits = 0;
    for (std::size_t i = 0; i < width; ++i) bits = bits << 8 | input_.byte();
    const int unused = static_cast<int>(64 - 8 * width);
    return unused == 0 ? bits
                       : static_cast<uint64_t>(static_cast<int64_t>(bits << unused) >> unused);
  }

  // An integer field given 2: the integer, refused unless in range (then set); 3: a string;
  // 4: a fraction.
  template <typename InRange, typename Set>
  void give_wrong(std::string_view name, int choice, uint64_t bits, InRange in_range, Set set) {
    if (choice == 2) {
      object_[std::string(name)] = static_cast<int64_t>(bits);
      if (in_range()) {
        set();
      } else {
        refused_ = true;
      }
    } else {
      object_[std::string(name)] =
          choice == 3 ? json("x") : json(static_cast<double>(bits % 1000) + 0.5);
      refused_ = true;
    }
  }

  FuzzInput &input_;
  json &object_;
  bool &refused_;
};

// Lowers the count of a record's counted entries to their capacity, as decoding does, and keeps
// the count as given: the count byte the packet carries.
struct CountLowering {
  int given = -1;  // -1 without counted entries

  template <typename Value>
  void operator()(std::string_view, const Value &) {}
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view, protolib::EntryList<Entry, Capacity, Count> list) {
    given = list.count;
    list.count = static_cast<Count>(std::min<std::size_t>(list.count, Capacity));
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
  FuzzInput input(data, size);
  const uint8_t type =
      protolib::kCatalogueTypes[input.byte() % std::size(protolib::kCatalogueTypes)];
  protolib::visit_catalogue_type(type, [&](auto kind) {
    using Record = typename decltype(kind)::Record;
    Record expected{};
    json object = {{"type", type}};
    bool refused = false;
    FieldSetMaker maker(input, object, refused);
    protolib::for_each_field(expected, maker);
    if (input.byte() % 2 == 1) {
      object["no such field"] = 1;
      refused = true;
    }

    uint8_t packet[WIRE_MAX_PACKET];
    const capgen::JsonPacket written = capgen::packet_from_json(object, packet);
    if (refused) {
      FUZZ_REQUIRE(written.size == 0 && !written.error.empty() && terminal_safe(written.error));
      return;
    }
    FUZZ_REQUIRE(written.error.empty() && written.size >= 6);
    CountLowering lowering;
    protolib::for_each_field(expected, lowering);
    constexpr protolib::PayloadShape kShape = protolib::payload_shape<Record>();
    FUZZ_REQUIRE(lowering.given < 0 || packet[4 + kShape.count_offset] == lowering.given);
    DecoderHarness harness;
    harness.feed(Bytes(packet, packet + written.size));
    PacketDecoder &decoder = harness.decoder();
    FUZZ_REQUIRE(harness.step() == type && decoder.last_packet != nullptr);
    FUZZ_REQUIRE(ring_count(decoder.input) == 0 && decoder.framer->errors == 0);
    FUZZ_REQUIRE(field_bytes(decoder.*protolib::Layout<Record>::kSlot) == field_bytes(expected));
  });
  return 0;
}
