// The clock the user names: reading its name, unwrapping its count, resets, and the dropouts.
#include "capture_pass/packet_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "capdump/src/time_text.h"
#include "capture_pass/clock_gaps.h"
#include "testing/test_packets.h"

namespace {

using capture_pass::NamedClock;
using capture_pass::PacketClock;

capture_pass::NamedClock clock_of(const std::string &text) {
  const capture_pass::ClockParse parse = capture_pass::parse_clock(text);
  EXPECT_TRUE(parse.clock) << parse.error;
  return parse.clock.value_or(capture_pass::NamedClock{});
}

TEST(ParseClock, NamesAScalarIntegerFieldAndItsTick) {
  const struct {
    const char *text;
    double seconds_per_tick;
    std::size_t offset;
  } good[] = {
      {"10.lead:ms", 1e-3, 0},  {"10.lead", 1, 0},       {"10.tail:us", 1e-6, 38},
      {"9.ulong:ns", 1e-9, 28}, {"1.uword:0.5", 0.5, 4}, {"21.count:2", 2, 5},
  };
  for (const auto &c : good) {
    SCOPED_TRACE(c.text);
    const capture_pass::NamedClock named = clock_of(c.text);
    EXPECT_EQ(named.seconds_per_tick, c.seconds_per_tick);
    EXPECT_EQ(named.field.offset, c.offset);
    EXPECT_EQ(named.name, c.text);
  }
  const struct {
    const char *text;
    const char *error;
  } bad[] = {
      {"10.words:ms", "type 10 has no clock field 'words' (its scalar integer fields: lead, tail)"},
      {"22.entries",
       "type 22 has no clock field 'entries' (its scalar integer fields: lead, "
       "uword, info, count)"},
      {"4.lead",
       "invalid clock '4.lead' (TYPE.FIELD[:UNIT], as 10.lead:ms); TYPE is a "
       "catalogue type"},
      {"lead",
       "invalid clock 'lead' (TYPE.FIELD[:UNIT], as 10.lead:ms); TYPE is a catalogue "
       "type"},
      {"10.lead:fortnight",
       "invalid clock unit 'fortnight' (ns, us, ms, s or a positive number "
       "of seconds per tick)"},
      {"10.lead:-1",
       "invalid clock unit '-1' (ns, us, ms, s or a positive number of seconds "
       "per tick)"},
  };
  for (const auto &c : bad) {
    EXPECT_FALSE(capture_pass::parse_clock(c.text).clock) << c.text;
    EXPECT_EQ(capture_pass::parse_clock(c.text).error, c.error);
  }
}

// A packet of type 1 (u32 lead, u16 uword, i16 word) with those values.
Bytes type1(uint32_t lead, uint16_t uword = 0) {
  return make_packet(1, {static_cast<uint8_t>(lead >> 24), static_cast<uint8_t>(lead >> 16),
                         static_cast<uint8_t>(lead >> 8), static_cast<uint8_t>(lead),
                         static_cast<uint8_t>(uword >> 8), static_cast<uint8_t>(uword), 0, 0});
}

// The times the clock shows after each packet (NaN before it starts) and its resets.
struct Timeline {
  std::vector<double> times;
  uint64_t resets;
};

Timeline timeline(const std::string &clock, const std::vector<Bytes> &packets) {
  capture_pass::PacketClock packet_clock(clock_of(clock));
  Timeline seen{{}, 0};
  for (const Bytes &packet : packets) {
    packet_clock.observe(packet.data() + 2);
    seen.times.push_back(packet_clock.started() ? packet_clock.now() : NAN);
  }
  seen.resets = packet_clock.resets();
  return seen;
}

TEST(PacketClock, UnwrapsByItsWidthAndNeverGoesBack) {
  Bytes short_packet = type1(9000);
  short_packet.erase(short_packet.begin() + 10, short_packet.begin() + 12);  // no word
  short_packet[3] = 6;
  const struct {
    const char *what;
    const char *clock;
    std::vector<Bytes> packets;
    std::vector<double> times;
    uint64_t resets;
  } cases[] = {
      {"other types before the first clock packet have no time",
       "1.lead:ms",
       {make_packet(2, counting_payload(23)), type1(10), type1(20)},
       {NAN, 0.01, 0.02},
       0},
      {"a 32-bit count wraps",
       "1.lead:ms",
       {type1(4294967290u), type1(4)},
       {4294967.29, 4294967.3},
       0},
      {"a 16-bit count wraps at its own width",
       "1.uword",
       {type1(0, 65530), type1(0, 5)},
       {65530, 65541},
       0},
      {"a step back is a reset: time stays, then goes on",
       "1.lead:ms",
       {type1(1000), type1(2000), type1(500), type1(600)},
       {1, 2, 2, 2.1},
       1},
      {"half the range back is a reset too",
       "1.uword",
       {type1(0, 40000), type1(0, 7232), type1(0, 7233)},
       {40000, 40000, 40001},
       1},
      {"a clock packet that is not exact moves nothing",
       "1.lead:ms",
       {type1(1000), short_packet, type1(1001)},
       {1, 1, 1.001},
       0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    const Timeline seen = timeline(c.clock, c.packets);
    ASSERT_EQ(seen.times.size(), c.times.size());
    for (std::size_t i = 0; i < c.times.size(); ++i) {
      if (std::isnan(c.times[i])) {
        EXPECT_TRUE(std::isnan(seen.times[i])) << i;
      } else {
        EXPECT_EQ(seen.times[i], c.times[i]) << i;
      }
    }
    EXPECT_EQ(seen.resets, c.resets);
  }
}

TEST(TimeText, FixedForDecimalTicksElseShortestAndReadsBackAsTheTime) {
  const struct {
    const char *clock;
    uint32_t lead;
    const char *text;
  } cases[] = {
      {"1.lead:ms", 12345, "12.345"}, {"1.lead:ms", 12000, "12.0"},
      {"1.lead:ms", 5, "0.005"},      {"1.lead:us", 4294967295u, "4294.967295"},
      {"1.lead", 100000, "100000.0"}, {"1.lead:0.5", 7, "3.5"},
      {"1.lead:0.1", 3, "0.3"},       {"1.lead:3e-9", 1, "3e-09"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    capture_pass::PacketClock clock(clock_of(c.clock));
    const Bytes packet = type1(c.lead);
    clock.observe(packet.data() + 2);
    capdump::TimeText text;
    EXPECT_EQ(text.of(clock), c.text);
    EXPECT_EQ(std::stod(std::string(text.of(clock))), clock.now());
  }
}

// The gaps of a clock that reads leads, each clock packet spacing bytes after the one before.
capture_pass::GapSummary gaps_of(const std::vector<uint32_t> &leads,
                                 std::optional<double> threshold,
                                 const std::string &clock_name = "1.lead:ms",
                                 uint64_t spacing = 100) {
  const capture_pass::NamedClock named = clock_of(clock_name);
  capture_pass::PacketClock clock(named);
  capture_pass::ClockSteps steps;
  uint64_t offset = 0;
  for (const uint32_t lead : leads) {
    const Bytes packet = type1(lead);
    if (const auto tick = clock.observe(packet.data() + 2)) steps.add(*tick, offset);
    offset += spacing;
  }
  return steps.summary(threshold, named);
}

TEST(ClockGaps, StepsLongerThanTheThresholdAreDropouts) {
  // Ten steps of 10 ms, one of 300 ms, one of 10 ms: the median is 10 ms, the threshold 50 ms.
  const std::vector<uint32_t> leads = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 400, 410};
  const capture_pass::GapSummary found = gaps_of(leads, std::nullopt);
  EXPECT_EQ(found.steps, 12u);
  EXPECT_EQ(found.median_step, 0.01);
  EXPECT_EQ(found.threshold, 0.05);
  ASSERT_EQ(found.gaps.size(), 1u);
  EXPECT_EQ(found.gaps[0].offset, 1100u);
  EXPECT_EQ(found.gaps[0].start, 0.1);
  EXPECT_EQ(found.gaps[0].seconds, 0.3);
  EXPECT_EQ(found.covered, 0.3);
  EXPECT_TRUE(gaps_of(leads, 0.5).gaps.empty());
  // A reset is no gap, and the median of an even count lies between its middle steps.
  const capture_pass::GapSummary reset = gaps_of({1000, 1010, 1030, 5, 65, 95}, std::nullopt);
  EXPECT_EQ(reset.steps, 4u);  // 10, 20, 60 and 30 ms
  EXPECT_EQ(reset.median_step, 0.025);
  EXPECT_TRUE(reset.gaps.empty());
  // Long steps (in microseconds here) are ranked apart from short ones, which are counted.
  std::vector<uint32_t> micro;
  for (const uint32_t lead : leads) micro.push_back(lead * 1000);
  const capture_pass::GapSummary in_us = gaps_of(micro, std::nullopt, "1.lead:us");
  EXPECT_EQ(in_us.median_step, 0.01);
  ASSERT_EQ(in_us.gaps.size(), 1u);
  EXPECT_EQ(in_us.gaps[0].seconds, 0.3);
  // Steps and distances too large to pack are kept aside whole.
  std::vector<uint32_t> nano;
  for (const uint32_t lead : leads) nano.push_back(lead * 1000000);
  const capture_pass::GapSummary in_ns = gaps_of(nano, std::nullopt, "1.lead:ns", 100000);
  ASSERT_EQ(in_ns.gaps.size(), 1u);
  EXPECT_EQ(in_ns.gaps[0].offset, 1100000u);
  EXPECT_EQ(in_ns.gaps[0].start, 0.1);
  EXPECT_EQ(gaps_of({0, 1, 3, 6, 5006, 11006, 18006}, std::nullopt, "1.lead:us").median_step,
            2501.5e-6);  // between a short step of 3 us and a long one of 5000 us
  const std::vector<capture_pass::Gap> longest =
      capture_pass::longest_gaps(gaps_of(leads, 0.001), 2);
  ASSERT_EQ(longest.size(), 2u);
  EXPECT_EQ(longest[0].seconds, 0.3);
  EXPECT_EQ(longest[1].offset, 100u);  // the earliest of the 10 ms steps
}

}  // namespace
