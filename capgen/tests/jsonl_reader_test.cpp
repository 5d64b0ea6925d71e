// capgen --from-jsonl: JSON written by hand becomes exactly the bytes worked out by hand, and
// lines that are no packet are named with their line number (the values' rules have their own
// tests in field_rules/tests/).
#include "capgen/jsonl/jsonl_reader.h"

#include <gtest/gtest.h>

#include "testing/memory_io.h"
#include "testing/test_packets.h"

namespace {

struct Read {
  Bytes bytes;
  std::string error;
};

// Reads text as the input "in"; read number fail_at and those after it fail.
Read read_jsonl(const std::string &text, std::size_t fail_at = MemorySource::kNeverFails) {
  MemorySource in(reinterpret_cast<const uint8_t *>(text.data()), text.size(), {}, fail_at);
  Read read;
  read.error =
      capgen::packets_from_jsonl(in, "in", "'in'", [&read](const uint8_t *data, std::size_t n) {
        read.bytes.insert(read.bytes.end(), data, data + n);
        return true;
      });
  return read;
}

TEST(JsonlReader, ObjectsBecomeTheBytesWorkedOutByHand) {
  struct Row {
    std::string jsonl;
    Bytes payload;  // of the one packet expected, of type
    uint8_t type;
  };
  const Row rows[] = {
      {R"({"offset":7,"type":1,"length":8,"lead":66051,"uword":65535,"word":-2})",
       {0, 1, 2, 3, 0xFF, 0xFF, 0xFF, 0xFE},
       1},
      {R"({"type":1,"word":-2})", {0, 0, 0, 0, 0, 0, 0xFF, 0xFE}, 1},
      {R"({"type":21,"lead":1,"info":2,"entries":[{"bytes":[1,2,3,4,5,6],"value":-1}]})",
       {0, 0, 0, 1, 2, 1, 1, 2, 3, 4, 5, 6, 0xFF, 0xFF},
       21},
      {R"({"type":22,"count":1,"entries":[{"d1":-0.0,"d2":null,"d2_bits":"7ff0000000000001",)"
       R"("f":0.5,"bytes":[9,8,7,6]}]})",
       {0,    0,    0, 0, 0, 0, 0, 1, 0x80, 0, 0, 0, 0, 0, 0, 0,
        0x7F, 0xF0, 0, 0, 0, 0, 0, 1, 0x3F, 0, 0, 0, 9, 8, 7, 6},
       22},
      {R"({"type":200,"length":3,"payload":"00ff81","lead":5})", {0, 0xFF, 0x81}, 200},
      {"\n"
       R"({"offset":1,"error":"checksum_a","type":1,"length":8})"
       "\n"
       R"({"type":0,"payload":""})",
       {},
       0},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.jsonl);
    const Read read = read_jsonl(row.jsonl);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.bytes, make_packet(row.type, row.payload));
  }
}

TEST(JsonlReader, TheFirstLineThatIsNoPacketIsNamed) {
  const std::string good = R"({"type":5,"payload":""})"
                           "\n";
  struct Row {
    std::string line;
    std::string error;
  };
  const Row rows[] = {
      {"[1,2]", "not a JSON object"},
      {R"({"type":1,)",
       "parse error at line 1, column 11: syntax error while parsing object key "
       "- unexpected end of input; expected string literal"},
      {R"({"lead":1})", "\"type\" must be an integer from 0 to 255"},
      {R"({"type":256})", "\"type\" must be an integer from 0 to 255"},
      {R"({"type":4})", "type 4 is not in the catalogue: give its payload as \"payload\""},
      {R"({"type":1,"leed":1})", "unknown field 'leed'"},
      {R"({"type":1,"lead":-1})", "field 'lead' must be an integer from 0 to 4294967295"},
      {R"({"type":1,"word":32768})", "field 'word' must be an integer from -32768 to 32767"},
      {R"({"type":1,"word":1.5})", "field 'word' must be an integer from -32768 to 32767"},
      {R"({"type":2,"words":[1,2]})", "field 'words' must be an array of 9 integers"},
      {R"({"type":1,"length":9})", "\"length\" is 9 but the packet holds 8 payload bytes"},
      {R"({"type":21,"count":2,"entries":[{}]})",
       "field 'entries' must be as many objects as \"count\" says"},
      {R"({"type":21,"entries":[{"value":1,"valeu":2}]})", "entries[0] unknown field 'valeu'"},
      {R"({"type":22,"entries":[{"d1":"x"}]})",
       "entries[0] field 'd1' must be a number, or null with 'd1_bits'"},
      {R"({"type":22,"entries":[{"f":1e39}]})",
       "entries[0] field 'f' must be within the range of its type"},
      {R"({"type":22,"entries":[{"d1":1,"d1_bits":"0000000000000000"}]})",
       "entries[0] field 'd1' must be null when 'd1_bits' is given"},
      {R"({"type":22,"entries":[{"f":null,"f_bits":"7fc0"}]})",
       "entries[0] field 'f_bits' must be 8 hexadecimal digits"},
      {R"({"type":9,"payload":"0g"})",
       "\"payload\" must be up to 255 bytes in hexadecimal, two digits a byte"},
      {R"({"type":9,"payload":")" + std::string(512, '0') + "\"}",
       "\"payload\" must be up to 255 bytes in hexadecimal, two digits a byte"},
      // Every failure of the JSON library is a message, wherever the number beyond range is.
      {R"({"type":1,"offset":1e400})", "number overflow parsing '1e400'"},
      {R"({"error":"checksum_a","offset":-1e400})", "number overflow parsing '-1e400'"},
      // Input in a message: control characters escaped, at most 60 bytes of it.
      {R"({"type":1,"leed\u001b[31m":1})", "unknown field 'leed\\x1b[31m'"},
      {R"({"type":1,")" + std::string(100, 'k') + R"(":1})",
       "unknown field '" + std::string(60, 'k') + "...'"},
      {R"({"type":1,"length":")" + std::string(100, 'x') + "\"}",
       "\"length\" is \"" + std::string(59, 'x') + "... but the packet holds 8 payload bytes"},
      {R"({"type":1,"x":")" + std::string(100, 'a') + "\x1b\"}",
       "parse error at line 1, column 116: syntax error while parsing value - invalid string: "
       "control character U+001B (ESC) must be escaped to \\u001B; last read: '\"" +
           std::string(59, 'a') + "...'"},
      {R"({"'; expected )" + std::string(100, 'x'),
       "parse error at line 1, column 115: syntax error while parsing object key - invalid "
       "string: missing closing quote; last read: '\"'; expected " +
           std::string(47, 'x') + "...'"},
      {std::string(capgen::kMaxJsonLine + 1, ' '), "line longer than 1048576 bytes"},
      // Hostile lines: a NUL that would end the line early, nesting that would exhaust the
      // stack of a message that shows the value; brackets inside strings do not count.
      {std::string(R"({"type":5,"payload":""})") + '\0' + "garbage", "a NUL byte at column 24"},
      {R"({"type":1,"length":)" + std::string(520000, '[') + std::string(520000, ']') + "}",
       "arrays and objects nested more than 64 deep"},
      {R"({"type":1,"length":")" + std::string(100, '[') + R"("})",
       "\"length\" is \"" + std::string(59, '[') + "... but the packet holds 8 payload bytes"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.line);
    const Read read = read_jsonl(good + row.line + "\n" + good);
    EXPECT_EQ(read.error, "in:2: " + row.error);
    EXPECT_EQ(read.bytes, make_packet(5, {}));  // the packets before it, none after
  }
}

TEST(JsonlReader, AFailedReadIsNoEndOfInput) {
  const std::string good = R"({"type":5,"payload":""})"
                           "\n";
  const Read read = read_jsonl(good, 1);
  EXPECT_EQ(read.error, "cannot read 'in': Input/output error");
  EXPECT_EQ(read.bytes, make_packet(5, {}));
}

}  // namespace
