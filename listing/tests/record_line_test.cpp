// The record lines, formatted without printf, against snprintf with the lines' printf formats,
// over random and extreme field values and sequences in which records change or repeat.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "listing/dumpten_line.h"
#include "listing/dumptwo_line.h"

namespace {

std::string printf_text(const char *format, auto... values) {
  char text[512];
  const int size = std::snprintf(text, sizeof text, format, values...);
  return std::string(text, static_cast<size_t>(size));
}

std::string type20_reference(const Type20Record &r) {
  return printf_text(" %d %lu %hu %hu %ld %ld %ld %ld %ld %ld %hu %hu %hu", r.fresh,
                     static_cast<unsigned long>(r.lead), r.uword_a, r.uword_b,
                     static_cast<long>(r.longs[0]), static_cast<long>(r.longs[1]),
                     static_cast<long>(r.longs[2]), static_cast<long>(r.longs[3]),
                     static_cast<long>(r.longs[4]), static_cast<long>(r.longs[5]), r.uwords[0],
                     r.uwords[1], r.uwords[2]);
}

template <typename Record>
std::string lead_words_tail_reference(const Record &r) {
  return printf_text("%lu %hd %hd %hd %hd %hd %hd %hd %hd %hd %d",
                     static_cast<unsigned long>(r.lead), r.words[0], r.words[1], r.words[2],
                     r.words[3], r.words[4], r.words[5], r.words[6], r.words[7], r.words[8],
                     r.tail);
}

std::string dumpten_reference(const PacketDecoder &d) {
  const Type12Record &r12 = d.rec12;
  const Type15Record &r15 = d.rec15;
  return printf_text("%hu %hd ", d.rec1.uword, d.rec1.word) + lead_words_tail_reference(d.rec10) +
         printf_text(" %d %ld %ld %ld %ld %ld %ld %d", r12.fresh, static_cast<long>(r12.longs[0]),
                     static_cast<long>(r12.longs[1]), static_cast<long>(r12.longs[2]),
                     static_cast<long>(r12.longs[3]), static_cast<long>(r12.longs[4]),
                     static_cast<long>(r12.longs[5]), r12.tail) +
         printf_text(" %d %hu %hu %hu %hu %hu %hu %d", r15.fresh, r15.uwords[0], r15.uwords[1],
                     r15.uwords[2], r15.uwords[3], r15.uwords[4], r15.uwords[5], r15.tail) +
         type20_reference(d.rec20) + "\n";
}

std::string dumptwo_reference(const PacketDecoder &d) {
  return lead_words_tail_reference(d.rec2) + type20_reference(d.rec20) + "\n";
}

// Random values biased towards the extremes of each field's type.
class FieldValues {
 public:
  explicit FieldValues(uint32_t seed) : rng_(seed) {}

  template <typename Int>
  void fill(Int &field) {
    using Limits = std::numeric_limits<Int>;
    const Int extremes[] = {Limits::min(), Limits::max(),           Int(0),
                            Int(1),        Int(Limits::max() / 10), Int(Limits::min() + 1)};
    field = rng_() % 3 == 0 ? extremes[rng_() % std::size(extremes)] : static_cast<Int>(rng_());
  }
  template <typename Int, size_t N>
  void fill(Int (&fields)[N]) {
    for (Int &field : fields) fill(field);
  }
  template <typename... Fields>
  void fill_all(Fields &...fields) {
    (fill(fields), ...);
  }
  bool chance(unsigned one_in) { return rng_() % one_in == 0; }

 private:
  std::mt19937 rng_;
};

// Changes some records as packets would, then formats a line with both programs, each told which
// records changed since its previous line.
TEST(RecordLine, EqualsPrintfForRandomAndExtremeValues) {
  FieldValues values(99);
  PacketDecoder d{};
  listing::DumptenLine dumpten;
  listing::DumptwoLine dumptwo;
  uint32_t dumpten_changed = ~uint32_t{0};
  uint32_t dumptwo_changed = ~uint32_t{0};
  const auto changed = [&](uint32_t types) {
    dumpten_changed |= types;
    dumptwo_changed |= types;
  };
  char line[listing::LineFormatter::kMaxLine];
  for (int i = 0; i < 20000; ++i) {
    if (values.chance(3)) {
      values.fill_all(d.rec1.uword, d.rec1.word, d.rec1.fresh);
      changed(listing::type_bits<Type1Record>());
    }
    values.fill_all(d.rec10.lead, d.rec10.words, d.rec10.tail);
    values.fill_all(d.rec2.lead, d.rec2.words, d.rec2.tail);
    changed(listing::type_bits<Type10Record, Type2Record>());
    if (values.chance(4)) {
      values.fill_all(d.rec12.longs, d.rec12.tail);
      d.rec12.fresh = 1;
      changed(listing::type_bits<Type12Record>());
    }
    if (values.chance(4)) {
      values.fill_all(d.rec15.uwords, d.rec15.tail);
      d.rec15.fresh = 1;
      changed(listing::type_bits<Type15Record>());
    }
    if (values.chance(4)) {
      values.fill_all(d.rec20.lead, d.rec20.uword_a, d.rec20.uword_b, d.rec20.longs,
                      d.rec20.uwords);
      d.rec20.fresh = 1;
      changed(listing::type_bits<Type20Record>());
    }

    if (i % 2 == 0) {
      const std::string expected = dumpten_reference(d);
      ASSERT_EQ(std::string(line, dumpten.format(d, dumpten_changed, line)), expected)
          << "line " << i;
      ASSERT_EQ(d.rec12.fresh + d.rec15.fresh + d.rec20.fresh, 0);
      dumpten_changed = 0;
    } else {
      const std::string expected = dumptwo_reference(d);
      ASSERT_EQ(std::string(line, dumptwo.format(d, dumptwo_changed, line)), expected)
          << "line " << i;
      ASSERT_EQ(d.rec20.fresh, 0);
      dumptwo_changed = 0;
    }
  }
}

TEST(RecordLine, LongestLinesFit) {
  PacketDecoder d{};
  d.rec1.uword = 65535;
  d.rec1.word = -32768;
  for (auto *record : {&d.rec2.words, &d.rec10.words}) {
    for (int16_t &word : *record) word = -32768;
  }
  d.rec2.lead = d.rec10.lead = d.rec20.lead = 4294967295u;
  for (int32_t &value : d.rec12.longs) value = -2147483647 - 1;
  for (int32_t &value : d.rec20.longs) value = -2147483647 - 1;
  d.rec12.fresh = d.rec15.fresh = d.rec20.fresh = 1;
  const std::string ten = dumpten_reference(d);
  const std::string two = dumptwo_reference(d);
  char line[listing::LineFormatter::kMaxLine];
  EXPECT_EQ(std::string(line, listing::DumptenLine().format(d, ~uint32_t{0}, line)), ten);
  d.rec20.fresh = 1;
  EXPECT_EQ(std::string(line, listing::DumptwoLine().format(d, ~uint32_t{0}, line)), two);
  EXPECT_LT(ten.size(), listing::LineFormatter::kMaxLine);
}

}  // namespace
