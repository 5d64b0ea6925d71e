// The form of a packet from a table of every type's layout sizes, made from the catalogue
// description when the library is compiled.
#include <protolib/catalogue.hpp>
#include <protolib/packet_form.hpp>

#include <array>

namespace protolib {

namespace {

// What decides the form of one type's packets.
struct FormRule {
  bool known = false;         // the type is in the catalogue
  uint16_t fixed = 0;         // payload bytes besides the entries
  uint16_t count_offset = 0;  // payload offset of the count byte, with entries
  uint16_t entry = 0;         // bytes of one entry; 0 without entries
  uint16_t capacity = 0;      // the entries a record holds
};

template <typename Record>
constexpr FormRule rule_of() {
  constexpr PayloadShape kShape = payload_shape<Record>();
  FormRule rule;
  rule.known = true;
  rule.fixed = static_cast<uint16_t>(kShape.fixed);
  rule.count_offset = static_cast<uint16_t>(kShape.capacity > 0 ? kShape.count_offset : 0);
  rule.entry = static_cast<uint16_t>(kShape.entry);
  rule.capacity = static_cast<uint16_t>(kShape.capacity);
  return rule;
}

constexpr auto kRules = [] {
  std::array<FormRule, 256> rules{};
  for_each_catalogue_type(
      [&](auto kind) { rules[kind.kType] = rule_of<typename decltype(kind)::Record>(); });
  return rules;
}();

constexpr PacketForm compare(std::size_t length, std::size_t expected) {
  return length == expected  ? PacketForm::kExact
         : length < expected ? PacketForm::kShort
                             : PacketForm::kLong;
}

}  // namespace

PacketForm packet_form(const uint8_t *packet) {
  const FormRule &rule = kRules[packet[0]];
  const std::size_t length = packet[1];
  if (!rule.known) return PacketForm::kUnknown;
  if (rule.entry == 0) return compare(length, rule.fixed);
  if (length <= rule.count_offset) return PacketForm::kShort;
  const std::size_t count = packet[2 + rule.count_offset];
  if (count > rule.capacity) return PacketForm::kOverCapacity;
  return compare(length, rule.fixed + count * rule.entry);
}

std::string_view form_name(PacketForm form) {
  static constexpr std::array<std::string_view, kPacketForms> kNames = {"exact", "short", "long",
                                                                        "over_capacity", "unknown"};
  return kNames[static_cast<std::size_t>(form)];
}

}  // namespace protolib
