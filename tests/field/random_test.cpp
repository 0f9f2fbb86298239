#include "field/random.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(RandomBelow, FollowsTheClassicSequenceFromAFixedStart) {
    random_reset();
    std::vector<int32_t> drawn;
    for (int i = 0; i < 5; i++) {
        drawn.push_back(random_below(32768));
    }
    // The well-known first values of the classic 15-bit runtime generator.
    EXPECT_EQ(drawn, (std::vector<int32_t>{41, 18467, 6334, 26500, 19169}));
    // Scaled in integers, truncating: 41 * 3 / 32768 = 0, 18467 * 3 / 32768 = 1, and so on.
    random_reset();
    EXPECT_EQ(random_below(3), 0);
    EXPECT_EQ(random_below(3), 1);
    EXPECT_EQ(random_below(100), 19);
    EXPECT_EQ(random_below(100), 80);
}

TEST(RandomBelow, StaysInRangeAndReachesEveryValue) {
    random_reset();
    // The widest range would overflow a 32-bit product.
    for (int32_t n : {1, 3, 100, 1 << 24}) {
        std::set<int32_t> seen;
        for (int i = 0; i < 5000; i++) {
            int32_t value = random_below(n);
            ASSERT_GE(value, 0);
            ASSERT_LT(value, n);
            seen.insert(value);
        }
        if (n <= 100) {
            EXPECT_EQ(seen.size(), static_cast<size_t>(n));
        }
    }
}

} // namespace
