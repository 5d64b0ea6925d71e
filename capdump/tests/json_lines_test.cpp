// capdump's JSON Lines, line for line as a user reads them: field names and order, shortest
// floating-point text, NaN bits, the raw payload where the fields do not tell all, and the
// error objects; and every line of a damaged capture is valid JSON.
#include "capdump/src/json_lines.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>

#include "testing/dump_harness.h"

namespace {

// The packet of type carrying the payload given in hexadecimal.
Bytes hex_packet(uint8_t type, const std::string &hex) {
  Bytes payload;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    payload.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return make_packet(type, payload);
}

std::string repeat(const std::string &text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

TEST(JsonLines, PacketLinesNameEveryFieldAndKeepEveryBit) {
  struct Row {
    const char *what;
    Bytes packet;
    std::string line;
  };
  const std::string entry21 = "000102030405fffe";
  const Row rows[] = {
      {"scalars", hex_packet(1, "00000007fffffffe"),
       R"({"offset":0,"type":1,"length":8,"lead":7,"uword":65535,"word":-2})"},
      {"floats: NaN bits, -0.0, infinity, shortest text, a float that needs it",
       hex_packet(22,
                  "00000001"
                  "0002"
                  "03"
                  "02"  // lead to count
                  "7ff8000000000001"
                  "8000000000000000"
                  "7f800000"
                  "01020304"  // entry 0
                  "3fb999999999999a"
                  "7e37e43c8800759c"
                  "15ae43fd"
                  "05060708"),  // entry 1
       R"({"offset":0,"type":22,"length":56,"lead":1,"uword":2,"info":3,"count":2,"entries":[)"
       R"({"d1":null,"d1_bits":"7ff8000000000001","d2":-0.0,"f":null,"f_bits":"7f800000",)"
       R"("bytes":[1,2,3,4]},{"d1":0.1,"d2":1e+300,"f":7.038531e-26,"bytes":[5,6,7,8]}]})"},
      {"no entries", hex_packet(21, "00000009ff00"),
       R"({"offset":0,"type":21,"length":6,"lead":9,"info":255,"count":0,"entries":[]})"},
      {"short payload: missing fields are 0", hex_packet(10, "0000000901"),
       R"({"offset":0,"type":10,"length":5,"form":"short","lead":9,"words":[256,0,0,0,0,0,0,0,0],)"
       R"("longs":[0,0,0,0],"tail":0,"payload":"0000000901"})"},
      {"count above capacity", hex_packet(21, "000000010211" + repeat(entry21, 16)),
       R"({"offset":0,"type":21,"length":134,"form":"over_capacity","lead":1,"info":2,"count":16,"entries":[)" +
           repeat(R"({"bytes":[0,1,2,3,4,5],"value":-2},)", 15) +
           R"({"bytes":[0,1,2,3,4,5],"value":-2}],"payload":"000000010211)" + repeat(entry21, 16) +
           R"("})"},
      {"long payload", hex_packet(26, "000000020a0b0c0d"),
       R"({"offset":0,"type":26,"length":8,"form":"long","lead":2,"bytes":[10,11,12],)"
       R"("payload":"000000020a0b0c0d"})"},
      {"type outside the catalogue", hex_packet(5, ""),
       R"({"offset":0,"type":5,"length":0,"form":"unknown","payload":""})"},
      {"type 0", hex_packet(0, "81a1"),
       R"({"offset":0,"type":0,"length":2,"form":"unknown","payload":"81a1"})"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(json_lines(row.packet, false, false).text, row.line + "\n");
  }
}

TEST(JsonLines, ErrorObjectsNameTheReasonAndWhatWasReceived) {
  Bytes bad_a = hex_packet(1, "0000000700010002");
  bad_a[12] ^= 0x40;
  Bytes bad_b = hex_packet(9, "");
  bad_b[5] ^= 0x02;
  const Bytes good = hex_packet(3, "0000000100020003000400");
  const Bytes stream = concat({bad_a, bad_b, {0x81, 0xA1, 0x0A, 0x27, 0x00}});
  EXPECT_EQ(json_lines(stream, false, true).text,
            R"({"offset":0,"error":"checksum_a","type":1,"length":8})"
            "\n"
            R"({"offset":14,"error":"checksum_b","type":9,"length":0})"
            "\n"
            R"({"offset":20,"error":"unfinished","type":10,"length":39,"received":5})"
            "\n");
  EXPECT_EQ(json_lines(stream, false, false).text, "");
  const Bytes sync_only = concat({good, {0x81, 0xA1}});
  EXPECT_EQ(json_lines(sync_only, false, true).text,
            R"({"offset":0,"type":3,"length":11,"lead":1,"words":[2,3,4],"tail":0})"
            "\n"
            R"({"offset":17,"error":"unfinished","received":2})"
            "\n");
}

TEST(JsonLines, EveryLineOfADamagedCaptureIsAJsonObjectInOffsetOrder) {
  const Bytes capture = generated_capture(7, 4000, 0.3);
  std::istringstream lines(json_lines(capture, true, true).text);
  std::string line;
  int64_t previous = -1;
  std::size_t count = 0;
  while (std::getline(lines, line)) {
    const nlohmann::json object = nlohmann::json::parse(line);
    ASSERT_TRUE(object.is_object()) << line;
    const auto offset = object.at("offset").get<int64_t>();
    EXPECT_GT(offset, previous) << line;
    previous = offset;
    ++count;
  }
  EXPECT_GT(count, 3900u);
}

// The room each line reserves is worked out from the catalogue: a packet of any type, as long
// as a packet gets, with bytes that print as the longest integers or as NaN bits, fits it.
TEST(JsonLines, TheLongestPacketOfEveryTypeFitsTheRoomOfALine) {
  for (const uint8_t type : protolib::kCatalogueTypes) {
    for (const uint8_t fill : {uint8_t{0x80}, uint8_t{0xFF}}) {
      const Bytes packet = make_packet(type, Bytes(WIRE_MAX_PAYLOAD, fill));
      EXPECT_LE(json_lines(packet, false, false).text.size(), capdump::kJsonLineRoom)
          << "type " << int{type} << ", bytes " << int{fill};
    }
  }
}

}  // namespace
