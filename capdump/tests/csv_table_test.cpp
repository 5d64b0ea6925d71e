// capdump's CSV: the header row of a type, a row with empty cells past the count, values a
// spreadsheet reads (nan, inf), and the recovered column.
#include "capdump/src/csv_table.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/dump_harness.h"

namespace {

std::string csv(const Bytes &input, uint8_t type, bool recover) {
  return run_pass(input, recover,
                  [type, recover](io::OutputBuffer &out) {
                    return capdump::CsvSink(out, type, recover);
                  })
      .text;
}

std::string repeat(const std::string &text, int times) {
  std::string all;
  for (int i = 0; i < times; ++i) all += text;
  return all;
}

TEST(CsvTable, HeaderNamesACellForEveryElementAndRowsLeaveUnusedEntriesEmpty) {
  const Bytes one_entry = make_packet(21, {0, 0, 0, 9, 255, 1, 0, 1, 2, 3, 4, 5, 0xFF, 0xFE});
  const Bytes other_type = make_packet(1, counting_payload(8));
  std::string header = "offset,length,form,lead,info,count";
  for (int i = 0; i < 16; ++i) {
    const std::string entry = ",entries_" + std::to_string(i) + "_";
    for (int b = 0; b < 6; ++b) header += entry + "bytes_" + std::to_string(b);
    header += entry + "value";
  }
  EXPECT_EQ(
      csv(concat({other_type, one_entry}), 21, false),
      header + ",payload\n14,14,exact,9,255,1,0,1,2,3,4,5,-2" + repeat(",,,,,,,", 15) + ",\n");
}

TEST(CsvTable, FloatsAreNumbersOrNanAndInfAndRecoveryAddsAColumn) {
  const Bytes nan_entry = {0,    0,    0, 1, 0, 2, 3, 1,   // lead .. count
                           0x7F, 0xF8, 0, 0, 0, 0, 0, 1,   // d1 NaN
                           0xFF, 0xF0, 0, 0, 0, 0, 0, 0,   // d2 -inf
                           0x3F, 0xC0, 0, 0, 1, 2, 3, 4};  // f 1.5, bytes
  const std::string expected =
      "offset,length,form,recovered,lead,uword,info,count,entries_0_d1,entries_0_d2,entries_0_f,"
      "entries_0_bytes_0";
  const std::string table = csv(make_packet(22, nan_entry), 22, true);
  EXPECT_EQ(table.substr(0, expected.size()), expected);
  EXPECT_EQ(table.substr(table.find('\n') + 1),
            "0,32,exact,0,1,2,3,1,nan,-inf,1.5,1,2,3,4" + repeat(",,,,,,,", 9) + ",\n");
}

// As for JSON Lines: the room a row reserves holds the longest row of every type.
TEST(CsvTable, TheLongestPacketOfEveryTypeFitsTheRoomOfARow) {
  for (const uint8_t type : protolib::kCatalogueTypes) {
    for (const uint8_t fill : {uint8_t{0x80}, uint8_t{0xFF}}) {
      const std::string table = csv(make_packet(type, Bytes(WIRE_MAX_PAYLOAD, fill)), type, true);
      const std::string row = table.substr(table.find('\n') + 1);
      EXPECT_LE(row.size(), capdump::kCsvRowRoom)
          << "type " << int{type} << ", bytes " << int{fill};
    }
  }
}

}  // namespace
