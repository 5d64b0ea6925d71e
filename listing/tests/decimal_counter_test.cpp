// The running count's text against std::to_string, through every carry up to a million.
#include <gtest/gtest.h>

#include <string>

#include "listing/decimal_counter.h"

namespace {

TEST(DecimalCounter, TextIsTheCountInDecimal) {
  listing::DecimalCounter counter;
  char text[listing::DecimalCounter::kMaxPut];
  EXPECT_EQ(std::string(text, counter.put(text, '\r')), "0\r");
  for (unsigned long count = 1; count <= 1'000'001; ++count) {
    counter.increment();
    ASSERT_EQ(std::string(text, counter.put(text, '\r')), std::to_string(count) + '\r');
  }
}

}  // namespace
