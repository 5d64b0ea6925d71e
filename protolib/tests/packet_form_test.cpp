// The form of a packet against hand-worked layout lengths, and the scalar fields by name.
#include <protolib/catalogue.hpp>
#include <protolib/packet_form.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/test_packets.h"

namespace {

using protolib::PacketForm;

// Type byte, length byte and length zero payload bytes, but count at payload offset count_at
// when the payload reaches it.
Bytes header_and_payload(uint8_t type, std::size_t length, std::size_t count_at = 256,
                         uint8_t count = 0) {
  Bytes packet(2 + length, 0);
  packet[0] = type;
  packet[1] = static_cast<uint8_t>(length);
  if (count_at < length) packet[2 + count_at] = count;
  return packet;
}

// Payload lengths worked out from the wire layouts, not from the description.
TEST(PacketForm, FixedLayoutsAtTheirLengthOnly) {
  const std::vector<std::pair<uint8_t, std::size_t>> lengths = {
      {1, 8},   {2, 23},  {3, 11},  {9, 32},  {10, 39}, {12, 29},
      {15, 17}, {20, 38}, {23, 20}, {25, 16}, {26, 7},  {27, 16}};
  for (const auto &[type, length] : lengths) {
    SCOPED_TRACE(static_cast<int>(type));
    EXPECT_EQ(protolib::packet_form(header_and_payload(type, length).data()), PacketForm::kExact);
    EXPECT_EQ(protolib::packet_form(header_and_payload(type, length - 1).data()),
              PacketForm::kShort);
    EXPECT_EQ(protolib::packet_form(header_and_payload(type, 0).data()), PacketForm::kShort);
    EXPECT_EQ(protolib::packet_form(header_and_payload(type, length + 1).data()),
              PacketForm::kLong);
    EXPECT_EQ(protolib::packet_form(header_and_payload(type, 255).data()), PacketForm::kLong);
  }
}

TEST(PacketForm, CountedLayoutsByTheirCountByte) {
  const struct {
    const char *name;
    uint8_t type;
    std::size_t length;
    uint8_t count;
    PacketForm form;
  } cases[] = {
      // type 21: 6 header bytes, the count byte at 5, 8 bytes an entry, 16 at most
      {"21 no entries", 21, 6, 0, PacketForm::kExact},
      {"21 two entries", 21, 22, 2, PacketForm::kExact},
      {"21 sixteen entries", 21, 134, 16, PacketForm::kExact},
      {"21 a byte short", 21, 21, 2, PacketForm::kShort},
      {"21 a byte long", 21, 23, 2, PacketForm::kLong},
      {"21 count byte missing", 21, 5, 0, PacketForm::kShort},
      {"21 count 17", 21, 142, 17, PacketForm::kOverCapacity},
      {"21 count 255, short", 21, 6, 255, PacketForm::kOverCapacity},
      // type 22: 8 header bytes, the count byte at 7, 24 bytes an entry, 10 at most
      {"22 no entries", 22, 8, 0, PacketForm::kExact},
      {"22 ten entries", 22, 248, 10, PacketForm::kExact},
      {"22 one entry short", 22, 31, 1, PacketForm::kShort},
      {"22 count byte missing", 22, 7, 0, PacketForm::kShort},
      {"22 count 11", 22, 255, 11, PacketForm::kOverCapacity},
      {"22 three entries long", 22, 81, 3, PacketForm::kLong},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t count_at = c.type == 21 ? 5 : 7;
    EXPECT_EQ(protolib::packet_form(header_and_payload(c.type, c.length, count_at, c.count).data()),
              c.form);
  }
}

TEST(PacketForm, TypesOutsideTheCatalogueAreUnknown) {
  for (const uint8_t type : Bytes{0, 4, 11, 24, 200, 255}) {
    EXPECT_EQ(protolib::packet_form(header_and_payload(type, 8).data()), PacketForm::kUnknown);
  }
  EXPECT_EQ(protolib::form_name(PacketForm::kOverCapacity), "over_capacity");
  EXPECT_EQ(protolib::form_name(PacketForm::kUnknown), "unknown");
}

// name@offset:bytes for every scalar field at a fixed offset of type.
std::string scalar_fields(unsigned type) {
  std::string text;
  protolib::for_each_scalar_field(type, [&](const protolib::ScalarField &field) {
    text += std::string(field.name) + "@" + std::to_string(field.offset) + ":" +
            std::to_string(protolib::wire_size(field.wire_type)) + " ";
  });
  return text;
}

TEST(ScalarFields, NameTheFieldsAtFixedOffsetsButArraysAndEntries) {
  EXPECT_EQ(scalar_fields(1), "lead@0:4 uword@4:2 word@6:2 ");
  EXPECT_EQ(scalar_fields(9), "uword@26:2 ulong@28:4 ");
  EXPECT_EQ(scalar_fields(10), "lead@0:4 tail@38:1 ");
  EXPECT_EQ(scalar_fields(21), "lead@0:4 info@4:1 count@5:1 ");
  EXPECT_EQ(scalar_fields(22), "lead@0:4 uword@4:2 info@6:1 count@7:1 ");
  EXPECT_EQ(scalar_fields(4), "");
}

TEST(ScalarFields, ReadAsTheBitsOfTheirWidth) {
  const Bytes payload = {0x80, 0, 0, 1, 0xFF, 0xFE, 0xFF, 0xFF};  // type 1: lead, uword, word
  std::vector<uint32_t> bits;
  protolib::for_each_scalar_field(1, [&](const protolib::ScalarField &field) {
    bits.push_back(protolib::read_integer_bits(payload.data(), field));
  });
  EXPECT_EQ(bits, (std::vector<uint32_t>{0x80000001u, 0xFFFEu, 0xFFFFu}));
}

}  // namespace
