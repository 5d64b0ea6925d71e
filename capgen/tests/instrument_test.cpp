// The simulated instrument: a record and entries with no behaviour of their own move as the
// generic behaviour says, and only catalogue types are written.
#include <protolib/wire.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "capgen/instrument/generic_behaviour.h"
#include "capgen/instrument/instrument.h"

namespace {

// True when now is within one of was.
bool within_one(double was, double now) {
  return std::abs(now - was) <= 1;
}

TEST(Instrument, GenericBehaviourKeepsTheClockInLeadAndMovesTheRestByOneStepAtMost) {
  capgen::Reading<Type22Record> reading;
  capgen::Rng rng(5);
  capgen::set_start<capgen::GenericBehaviour>(reading, rng);
  EXPECT_EQ(reading.record.count, 0);
  bool moved = false;
  bool counted = false;  // some entries were in view
  for (int i = 0; i < 300; ++i) {
    const Type22Record was = reading.record;
    const auto clock_ms = static_cast<uint32_t>(10 * i + 7);
    capgen::move_on<capgen::GenericBehaviour>(reading, rng, clock_ms);
    const Type22Record &now = reading.record;
    ASSERT_EQ(now.lead, clock_ms);
    ASSERT_TRUE(within_one(was.uword, now.uword) && within_one(was.info, now.info) &&
                within_one(was.count, now.count));
    ASSERT_LE(now.count, TYPE22_CAPACITY);
    const Type22Entry &first = now.entries[0];
    ASSERT_TRUE(within_one(was.entries[0].d1, first.d1) && within_one(was.entries[0].f, first.f));
    ASSERT_EQ(first.d2, std::round(first.d2));  // whole units
    moved = moved || now.uword != was.uword;
    counted = counted || now.count > 0;
  }
  EXPECT_TRUE(moved);
  EXPECT_TRUE(counted);
}

TEST(Instrument, WritesOnlyCatalogueTypes) {
  capgen::Instrument instrument(1);
  uint8_t out[WIRE_MAX_PACKET] = {};
  EXPECT_EQ(instrument.write_packet(4, 10, out), 0);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(instrument.write_packet(10, 10, out), 39 + 6);  // the type-10 payload is 39 bytes
  EXPECT_EQ(out[2], 10);
}

}  // namespace
