#include <protolib/ring.h>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <random>
#include <vector>

using Bytes = std::vector<uint8_t>;

namespace {

struct RingDeleter {
  void operator()(ByteRing *ring) const { ring_destroy(ring); }
};
using RingPtr = std::unique_ptr<ByteRing, RingDeleter>;

RingPtr make_ring(unsigned size) {
  ByteRing *ring = nullptr;
  EXPECT_EQ(ring_create(&ring, nullptr, size), 0);
  return RingPtr(ring);
}

std::vector<uint8_t> drain(ByteRing *ring) {
  std::vector<uint8_t> out;
  for (int byte = ring_get(ring); byte >= 0; byte = ring_get(ring)) {
    out.push_back(static_cast<uint8_t>(byte));
  }
  return out;
}

TEST(RingCreate, SizesWrapModulo65536AndZeroIsRefused) {
  struct Case {
    unsigned requested;
    int status;
    int32_t size;
  };
  for (const Case c : {Case{1024, 0, 1024}, Case{65537, 0, 1}, Case{65535, 0, 65535}, Case{0, 1, 0},
                       Case{65536, 1, 0}, Case{131072, 1, 0}}) {
    SCOPED_TRACE(c.requested);
    ByteRing *ring = nullptr;
    EXPECT_EQ(ring_create(&ring, nullptr, c.requested), c.status);
    if (c.status == 0) {
      ASSERT_NE(ring, nullptr);
      EXPECT_EQ(ring->size, c.size);
      EXPECT_EQ(ring->end - ring->start, c.size);
    } else {
      EXPECT_EQ(ring, nullptr);
    }
    ring_destroy(ring);
  }
}

TEST(RingCreate, BothHandlesAreTheSameRing) {
  ByteRing *reader = nullptr;
  ByteRing *writer = nullptr;
  ASSERT_EQ(ring_create(&reader, &writer, 16), 0);
  EXPECT_EQ(reader, writer);
  ring_destroy(reader);
  ring_destroy(nullptr);
  EXPECT_EQ(ring_create(nullptr, nullptr, 16), 0);  // leak checks see nothing left behind
}

TEST(Ring, NewRingIsEmpty) {
  RingPtr ring = make_ring(1024);
  uint8_t dest[8];
  EXPECT_EQ(ring_get(ring.get()), -1);
  EXPECT_EQ(ring_read(ring.get(), dest, 8), 0);
}

TEST(Ring, CheckedWritesKeepOneSlotFree) {
  RingPtr ring = make_ring(4);
  for (uint8_t byte : Bytes{1, 2, 3}) EXPECT_EQ(ring_put_checked(ring.get(), byte), 0);
  EXPECT_EQ(ring_put_checked(ring.get(), 4), 1);
  EXPECT_EQ(drain(ring.get()), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(Ring, CheckedBlockWriteIsAllOrNothing) {
  RingPtr ring = make_ring(4);
  ring_put(ring.get(), 9);
  const uint8_t block[] = {1, 2, 3};
  EXPECT_EQ(ring_write_checked(ring.get(), block, 3), 1);
  EXPECT_EQ(drain(ring.get()), (std::vector<uint8_t>{9}));
  EXPECT_EQ(ring_write_checked(ring.get(), block, 3), 0);
  EXPECT_EQ(drain(ring.get()), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(Ring, UncheckedPutOverrunMakesTheRingReadEmpty) {
  RingPtr ring = make_ring(1024);
  for (int i = 0; i < 1023; ++i) ring_put(ring.get(), static_cast<uint8_t>(i));
  EXPECT_EQ(ring_put_checked(ring.get(), 0), 1);  // full
  ring_put(ring.get(), 0xEE);
  EXPECT_EQ(ring_get(ring.get()), -1);
}

TEST(Ring, ByteFFIsNotEndOfData) {
  RingPtr ring = make_ring(8);
  ring_put(ring.get(), 0xFF);
  EXPECT_EQ(ring_get(ring.get()), 255);
  EXPECT_EQ(ring_get(ring.get()), -1);
}

TEST(Ring, ReadAcrossTheEndReturnsEveryStoredByte) {
  RingPtr ring = make_ring(16);
  std::vector<uint8_t> filler(13, 0);
  ring_write(ring.get(), filler.data(), 13);
  uint8_t scratch[16];
  ASSERT_EQ(ring_read(ring.get(), scratch, 13), 13);  // read_pos now 3 before the end
  const std::vector<uint8_t> data = {10, 11, 12, 13, 14, 15, 16, 17};
  ring_write(ring.get(), data.data(), 8);  // write_pos wraps to start + 5
  ASSERT_LT(ring->write_pos, ring->read_pos);
  uint8_t dest[64] = {};
  ASSERT_EQ(ring_read(ring.get(), dest, 64), ring->size + 5 - 13);
  EXPECT_EQ(std::vector<uint8_t>(dest, dest + 8), data);
  EXPECT_EQ(ring_get(ring.get()), -1);
}

TEST(Ring, NonPositiveCountsStoreAndReadNothing) {
  RingPtr ring = make_ring(8);
  const uint8_t byte = 1;
  ring_write(ring.get(), &byte, 0);
  ring_write(ring.get(), &byte, -5);
  EXPECT_EQ(ring_write_checked(ring.get(), &byte, -1), 0);
  EXPECT_EQ(ring_get(ring.get()), -1);
  ring_put(ring.get(), 1);
  uint8_t dest = 0;
  EXPECT_EQ(ring_read(ring.get(), &dest, -3), 0);
  EXPECT_EQ(ring_get(ring.get()), 1);
}

// A block written unchecked, even one longer than the ring, leaves the storage and positions
// exactly as the same bytes put one at a time.
TEST(Ring, BlockWriteEqualsBytewisePutsEvenWhenOverrunning) {
  for (int size : {1, 2, 5, 16}) {
    for (int offset = 0; offset < size; ++offset) {
      for (int n = 0; n <= 3 * size + 1; ++n) {
        SCOPED_TRACE(::testing::Message() << "size " << size << " offset " << offset << " n " << n);
        RingPtr block = make_ring(static_cast<unsigned>(size));
        RingPtr bytewise = make_ring(static_cast<unsigned>(size));
        for (int i = 0; i < offset; ++i) {
          ring_put(block.get(), 0);
          ring_put(bytewise.get(), 0);
        }
        std::vector<uint8_t> data(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) data[static_cast<size_t>(i)] = static_cast<uint8_t>(i + 1);
        ring_write(block.get(), data.data(), n);
        for (uint8_t byte : data) ring_put(bytewise.get(), byte);
        EXPECT_EQ(block->write_pos - block->start, bytewise->write_pos - bytewise->start);
        EXPECT_TRUE(std::equal(block->start, block->end, bytewise->start));
      }
    }
  }
}

// Random operations against a std::deque model, across many wrap-arounds. Unchecked writes are
// only issued when they fit, so the model stays exact.
TEST(Ring, BehavesLikeAQueueUnderRandomOperations) {
  std::mt19937 rng(20261208);
  for (unsigned size : {2u, 3u, 7u, 64u, 1024u}) {
    SCOPED_TRACE(size);
    RingPtr ring = make_ring(size);
    std::deque<uint8_t> model;
    const int capacity = static_cast<int>(size) - 1;
    auto random_block = [&](int n) {
      std::vector<uint8_t> block(static_cast<size_t>(n));
      for (auto &byte : block) byte = static_cast<uint8_t>(rng());
      return block;
    };
    for (int step = 0; step < 20000; ++step) {
      const int room = capacity - static_cast<int>(model.size());
      const int n = static_cast<int>(rng() % (size + 2));
      switch (rng() % 7) {
        case 0: {
          const auto byte = static_cast<uint8_t>(rng());
          ASSERT_EQ(ring_put_checked(ring.get(), byte), room > 0 ? 0 : 1);
          if (room > 0) model.push_back(byte);
          break;
        }
        case 1:
          if (room > 0) {
            const auto byte = static_cast<uint8_t>(rng());
            ring_put(ring.get(), byte);
            model.push_back(byte);
          }
          break;
        case 2: {
          const auto block = random_block(n);
          ASSERT_EQ(ring_write_checked(ring.get(), block.data(), n), n <= room ? 0 : 1);
          if (n <= room) model.insert(model.end(), block.begin(), block.end());
          break;
        }
        case 3: {
          const auto block = random_block(std::min(n, room));
          ring_write(ring.get(), block.data(), static_cast<int>(block.size()));
          model.insert(model.end(), block.begin(), block.end());
          break;
        }
        case 4: {
          const int expected = model.empty() ? -1 : model.front();
          ASSERT_EQ(ring_get(ring.get()), expected);
          if (!model.empty()) model.pop_front();
          break;
        }
        case 5: {  // claim the readable run, check it, consume part of it
          int run = -1;
          const uint8_t *claimed = ring_claim(ring.get(), &run);
          ASSERT_EQ(model.empty(), run == 0);
          ASSERT_LE(run, static_cast<int>(model.size()));
          ASSERT_TRUE(std::equal(claimed, claimed + run, model.begin()));
          const int taken = std::min(n, run);
          ring_consume(ring.get(), taken);
          model.erase(model.begin(), model.begin() + taken);
          break;
        }
        default: {
          std::vector<uint8_t> dest(static_cast<size_t>(n) + 1, 0xAA);
          const int got = ring_read(ring.get(), dest.data(), n);
          ASSERT_EQ(got, std::min(n, static_cast<int>(model.size())));
          for (int i = 0; i < got; ++i) {
            ASSERT_EQ(dest[static_cast<size_t>(i)], model.front());
            model.pop_front();
          }
          ASSERT_EQ(dest[static_cast<size_t>(got)], 0xAA);  // nothing written past the count
          break;
        }
      }
      ASSERT_EQ(ring_count(ring.get()), static_cast<int>(model.size()));
    }
  }
}

}  // namespace
