// The report's ticks: round steps, the x unit for a span, and value labels with SI prefixes.
#include "capdump/src/axis_ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

TEST(AxisTicks, StepsAreOneTwoOrFiveTimesAPowerOfTen) {
  const struct {
    double span, target, step;
  } cases[] = {{100, 4, 20},  {16, 8, 2}, {1, 4, 0.2}, {0.003, 3, 0.001},
               {7e6, 4, 2e6}, {45, 9, 5}, {10, 1, 10}};
  for (const auto &c : cases) EXPECT_DOUBLE_EQ(capdump::nice_step(c.span, c.target), c.step);
}

TEST(AxisTicks, TicksAreTheMultiplesOfTheStepInRange) {
  EXPECT_EQ(capdump::ticks(0, 1, 0.25), (std::vector<double>{0, 0.25, 0.5, 0.75, 1}));
  EXPECT_EQ(capdump::ticks(-3, 7, 5), (std::vector<double>{0, 5}));
  EXPECT_EQ(capdump::ticks(0.1, 0.7, 0.2), (std::vector<double>{0.2, 0.4, 0.6000000000000001}));
  EXPECT_FALSE(std::signbit(capdump::ticks(-0.5, 1, 1)[0]));  // no "-0" label
}

TEST(AxisTicks, UnitsFitTheSpan) {
  const struct {
    bool time;
    double span;
    std::string name;
  } cases[] = {{false, 1000, "B"}, {false, 16 << 20, "MiB"}, {false, 1 << 30, "GiB"},
               {true, 0.5, "ms"},  {true, 90, "s"},          {true, 2700, "min"},
               {true, 86400, "h"}};
  for (const auto &c : cases) EXPECT_EQ(capdump::axis_unit(c.time, c.span).name, c.name);
}

TEST(AxisTicks, LabelsCarryThePrefixAndTheDecimalsTheStepNeeds) {
  const struct {
    double value, step, magnitude;
    std::string label;
  } cases[] = {{0, 1e6, 4e6, "0"},
               {2.5e6, 5e5, 4e6, "2.5M"},
               {2e6, 1e6, 4e6, "2M"},
               {2500, 500, 4000, "2500"},
               {0.25, 0.05, 0.5, "0.25"},
               {4e-6, 2e-6, 8e-6, "4µ"},
               {-15000, 5000, 20000, "-15k"},
               {3.4e38, 1e38, 3.4e38, "3.4e+38"}};
  for (const auto &c : cases) {
    EXPECT_EQ(capdump::value_label(c.value, c.step, c.magnitude), c.label) << c.value;
  }
  EXPECT_EQ(capdump::tick_label(12.5, 0.5), "12.5");
  EXPECT_EQ(capdump::tick_label(40, 20), "40");
}

}  // namespace
