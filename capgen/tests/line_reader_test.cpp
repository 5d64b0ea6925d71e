// Lines read through a bounded reader: each line whole up to the limit, longer ones passed over
// however the reads divide them, and a failed read never taken for the end of input.
#include "capgen/jsonl/line_reader.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "testing/memory_io.h"

namespace {

using capgen::LineReader;

// Every result of next until the input ends or fails: a line as it is, the others in brackets.
std::vector<std::string> read_all(const std::string &input, std::vector<std::size_t> read_sizes,
                                  std::size_t fail_at) {
  MemorySource source(reinterpret_cast<const uint8_t *>(input.data()), input.size(),
                      std::move(read_sizes), fail_at);
  LineReader reader(source, 4);
  std::vector<std::string> seen;
  for (;;) {
    std::string_view line;
    switch (reader.next(line)) {
      case LineReader::Result::kLine:
        seen.emplace_back(line);
        continue;
      case LineReader::Result::kTooLong:
        seen.emplace_back("[too long]");
        continue;
      case LineReader::Result::kEnd:
        seen.emplace_back("[end]");
        break;
      case LineReader::Result::kFailed:
        seen.emplace_back(reader.error() == EIO ? "[failed: EIO]" : "[failed: other]");
        break;
    }
    // A reader that has stopped stays stopped.
    std::string_view after;
    EXPECT_EQ(reader.next(after),
              seen.back() == "[end]" ? LineReader::Result::kEnd : LineReader::Result::kFailed);
    return seen;
  }
}

TEST(LineReader, ReadsLinesUpToItsLimitAndTellsFailureFromTheEnd) {
  constexpr std::size_t kNever = MemorySource::kNeverFails;
  struct Row {
    const char *name;
    std::string input;
    std::vector<std::size_t> read_sizes;
    std::size_t fail_at;
    std::vector<std::string> seen;
  };
  const Row rows[] = {
      {"nothing", "", {}, kNever, {"[end]"}},
      {"lines, the last without newline",
       "a\nbcd\n\nxy",
       {},
       kNever,
       {"a", "bcd", "", "xy", "[end]"}},
      {"lines split across reads", "abcd\nef\n", {3}, kNever, {"abcd", "ef", "[end]"}},
      {"a long line between others",
       "ab\nabcde\nc\n",
       {},
       kNever,
       {"ab", "[too long]", "c", "[end]"}},
      {"a long line over many reads",
       "abcdefghijklm\nz",
       {1, 2},
       kNever,
       {"[too long]", "z", "[end]"}},
      {"a long last line", "abcdefgh", {}, kNever, {"[too long]", "[end]"}},
      {"failure at the first read", "ab\n", {}, 0, {"[failed: EIO]"}},
      {"failure inside a line", "ab\ncd\n", {4}, 1, {"ab", "[failed: EIO]"}},
      {"failure where the input would end", "ab\n", {}, 1, {"ab", "[failed: EIO]"}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(read_all(row.input, row.read_sizes, row.fail_at), row.seen);
  }
}

}  // namespace
