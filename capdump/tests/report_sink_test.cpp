// The --report figures: the summary is that of --stats, the slices add up to it and agree with
// capdump's listing packet by packet, each field's spread is that of the listed values, and the
// slices stay within bounds for captures of every kind, the empty one included.
#include "capdump/src/report_sink.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "capdump/src/field_series.h"
#include "capdump/src/report_page.h"
#include "capture_pass/clock_sink.h"
#include "testing/dump_harness.h"

namespace {

using capdump::CaptureReport;
using nlohmann::json;

constexpr std::size_t kSlices = 16;  // few, so that a small capture merges them often

CaptureReport report_of(const Bytes &input, bool recover) {
  capdump::ReportSink sink(recover, nullptr, nullptr, kSlices);
  MemorySource in(input.data(), input.size(), {4096});
  const capture_pass::PassTotals totals = capture_pass::dump_pass(in, recover, sink);
  return sink.finish(totals);
}

capture_pass::CaptureStats stats_of(const Bytes &input, bool recover) {
  capture_pass::StatsSink sink(recover);
  MemorySource in(input.data(), input.size());
  return sink.stats(capture_pass::dump_pass(in, recover, sink));
}

std::vector<json> listing(const Bytes &input, bool recover) {
  std::vector<json> objects;
  std::istringstream lines(json_lines(input, recover, false).text);
  for (std::string line; std::getline(lines, line);) objects.push_back(json::parse(line));
  return objects;
}

// The number a listed packet holds for the series named field ("a", "a[3]", "entries[2].a[1]"),
// if it holds one: not for an entry past its count.
void listed_values(const json &object, const std::string &field, std::vector<double> &values) {
  const json *at = &object;
  std::istringstream parts(field);
  for (std::string part; std::getline(parts, part, '.');) {
    const std::size_t open = part.find('[');
    at = &(*at)[part.substr(0, open)];
    if (open != std::string::npos) {
      const std::size_t index = std::stoul(part.substr(open + 1));
      if (!at->is_array() || index >= at->size()) return;
      at = &(*at)[index];
    }
  }
  if (at->is_number()) values.push_back(at->get<double>());
}

struct Case {
  const char *name;
  Bytes input;
  bool recover;
};

std::vector<Case> cases() {
  Bytes one_type;
  for (int i = 0; i < 300; ++i) one_type = concat({one_type, make_packet(1, counting_payload(8))});
  return {
      {"damaged, recovered", generated_capture(1, 3000, 0.3), true},
      {"damaged", generated_capture(2, 2000, 0.1), false},
      {"one type", one_type, false},
      {"only noise", Bytes(5000, 0x00), true},
      {"empty", {}, false},
  };
}

TEST(ReportSink, SummaryIsThatOfStatsAndSlicesAddUpToIt) {
  for (const Case &c : cases()) {
    SCOPED_TRACE(c.name);
    const CaptureReport report = report_of(c.input, c.recover);
    const capture_pass::CaptureStats stats = stats_of(c.input, c.recover);
    EXPECT_EQ(capture_pass::stats_json(report.stats), capture_pass::stats_json(stats));
    const uint64_t width = report.timeline.width();
    EXPECT_EQ(report.slices, (c.input.size() + width - 1) / width);
    EXPECT_LE(report.slices, kSlices);
    if (c.input.size() > kSlices) {
      EXPECT_GT(report.slices, kSlices / 2);
    }
    capdump::SliceCounts sum;
    for (std::size_t i = 0; i < kSlices; ++i) sum.merge(report.timeline.counts(i));
    EXPECT_EQ(sum.packets, stats.packets_by_type);
    EXPECT_EQ(sum.rejected, stats.rejected_by_reason);
    EXPECT_EQ(sum.recovered, stats.recovered.value_or(0));
    EXPECT_EQ(sum.noise_bytes, stats.noise_bytes);
    EXPECT_EQ(sum.bytes, stats.bytes_read);
    uint64_t damaged = 0;
    for (const uint64_t n : stats.rejected_by_reason) damaged += n;
    for (const auto &forms : stats.not_exact) {
      for (const uint64_t n : forms) damaged += n;
    }
    EXPECT_EQ(report.damaged_count, damaged);
    EXPECT_EQ(report.damaged.size(), std::min<uint64_t>(damaged, capdump::kErrorRows));
    const std::string page = capdump::report_page(report, c.name);
    EXPECT_NE(page.find(capture_pass::stats_json(stats) + "</script>"), std::string::npos);
  }
}

// Each slice holds the listed packets whose offset lies in it, and each series' spread in a
// slice is that of the values the listing shows for the packets there.
TEST(ReportSink, SlicesHoldTheListedPacketsAndTheirValues) {
  const std::vector<capdump::SeriesName> &series = capdump::catalogue_series();
  for (const Case &c : cases()) {
    SCOPED_TRACE(c.name);
    const CaptureReport report = report_of(c.input, c.recover);
    std::vector<capdump::SliceCounts> counts(kSlices);
    std::vector<capdump::Spread> spreads(kSlices * series.size());
    for (const json &object : listing(c.input, c.recover)) {
      const auto slice = object["offset"].get<uint64_t>() / report.timeline.width();
      const auto type = object["type"].get<uint8_t>();
      ++counts[slice].packets[type];
      if (object.contains("recovered")) ++counts[slice].recovered;
      if (object.contains("payload")) continue;  // no catalogue record, or not a whole one
      for (std::size_t s = capdump::first_series(type); s < series.size() && series[s].type == type;
           ++s) {
        std::vector<double> values;
        listed_values(object, series[s].field, values);
        for (const double value : values) spreads[slice * series.size() + s].add(value);
      }
    }
    for (std::size_t i = 0; i < kSlices; ++i) {
      EXPECT_EQ(report.timeline.counts(i).packets, counts[i].packets) << i;
      EXPECT_EQ(report.timeline.counts(i).recovered, counts[i].recovered) << i;
      for (std::size_t s = 0; s < series.size(); ++s) {
        const capdump::Spread &got = report.timeline.spread(i, s);
        const capdump::Spread &listed = spreads[i * series.size() + s];
        ASSERT_EQ(got.count, listed.count) << i << " " << series[s].field;
        if (got.count == 0) continue;
        // The listing writes an f32 field in as few digits as tell it apart from other floats.
        const auto near = [](double value) { return 1e-6 * std::fabs(value) + 1e-9; };
        EXPECT_NEAR(got.min, listed.min, near(listed.min));
        EXPECT_NEAR(got.max, listed.max, near(listed.max));
        EXPECT_NEAR(got.sum, listed.sum, near(listed.sum) * static_cast<double>(listed.count));
      }
    }
  }
}

}  // namespace

namespace {

// With a clock the slices follow its time: each type-10 packet of an undamaged capture lies in
// the slice of its lead field's milliseconds since the first one.
TEST(ReportSink, WithAClockSlicesFollowTime) {
  const Bytes input = generated_capture(4, 3000, 0.0);
  capture_pass::PacketClock clock(*capture_pass::parse_clock("10.lead:ms").clock);
  capture_pass::ClockSteps steps;
  capdump::ReportSink sink(false, &clock, &steps, kSlices);
  capture_pass::ClockSink timed(clock, sink, {}, &steps);
  MemorySource in(input.data(), input.size());
  const CaptureReport report = sink.finish(capture_pass::dump_pass(in, false, timed));
  ASSERT_TRUE(report.seconds_per_position);
  EXPECT_EQ(*report.seconds_per_position, 0.001);
  std::vector<uint64_t> type10(kSlices);
  std::optional<uint64_t> first;
  uint64_t last = 0;
  for (const json &object : listing(input, false)) {
    if (object["type"] != 10) continue;
    last = object["lead"].get<uint64_t>();
    if (!first) first = last;
    ++type10[(last - *first) / report.timeline.width()];
  }
  ASSERT_TRUE(first);
  EXPECT_EQ(report.end, last - *first + 1);
  EXPECT_EQ(report.slices, (report.end + report.timeline.width() - 1) / report.timeline.width());
  for (std::size_t i = 0; i < kSlices; ++i)
    EXPECT_EQ(report.timeline.counts(i).packets[10], type10[i]) << i;
}

// Values no axis can show (NaN, infinities, the largest doubles and floats) neither reach an
// axis nor a path: the axes stay finite and the values left out are counted on the page.
TEST(ReportSink, ValuesNoAxisCanShowAreLeftOutAndCounted) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const double d1s[] = {std::nan(""), kInf, 1.7e308, -1.7e308, 1.0, -kInf};
  Bytes input;
  for (const double d1 : d1s) {
    Bytes payload = {0, 0, 0, 1, 0, 2, 3, 1};  // lead, uword, info, count: one entry
    const auto put = [&payload](uint64_t bits, int bytes) {
      for (int i = bytes - 1; i >= 0; --i) payload.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    };
    put(std::bit_cast<uint64_t>(d1), 8);
    put(std::bit_cast<uint64_t>(-d1), 8);
    put(std::bit_cast<uint32_t>(3.4e38f), 4);
    put(0x01020304, 4);
    input = concat({input, make_packet(22, payload)});
  }
  const std::string page = capdump::report_page(report_of(input, false), "values");
  const std::string drawn = page.substr(0, page.find("<script"));
  EXPECT_FALSE(std::regex_search(drawn, std::regex(R"(\b(nan|inf)\b)"))) << drawn;
  EXPECT_NE(drawn.find("3 NaN or infinite values left out"), std::string::npos);
  // Every coordinate of every path lies inside its plot (0 to 1000 up, 0 to 2 * kSlices across).
  const std::regex path(R"re( d="([^"]*)")re");
  for (std::sregex_iterator it(drawn.begin(), drawn.end(), path), end; it != end; ++it) {
    std::istringstream numbers(std::regex_replace((*it)[1].str(), std::regex("[A-Za-z]"), " "));
    for (double at = 0; numbers >> at;) EXPECT_TRUE(at >= 0 && at <= 1000) << (*it)[1];
  }
}

}  // namespace
