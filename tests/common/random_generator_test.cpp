#include "common/random_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

TEST(RandomIndex, KeepsTheDrawForSmallBanksAndReachesEveryEntryOfALargeOne) {
  // Up to 32768 entries the index is the generator's result modulo the count, as it always was.
  for (int32_t count : {1, 10, 336, 32768}) {
    SeedRandom(1234);
    std::vector<int32_t> plain;
    for (int i = 0; i < 50; ++i) plain.push_back(NextRandom() % count);
    SeedRandom(1234);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(plain[static_cast<size_t>(i)], RandomIndex(count)) << count;
  }
  // Beyond that every index can come, the last ones included, and none is out of range.
  for (int32_t count : {32769, 40001, 1000000}) {
    SeedRandom(77);
    int32_t highest = 0;
    bool lastQuarter = false;
    for (int i = 0; i < 400000; ++i) {
      const int32_t index = RandomIndex(count);
      ASSERT_GE(index, 0);
      ASSERT_LT(index, count);
      highest = std::max(highest, index);
      lastQuarter = lastQuarter || index >= count - count / 4;
    }
    EXPECT_GE(highest, 32768) << count;
    EXPECT_TRUE(lastQuarter) << count;
  }
}
