#include "app/utility.h"
#include "platform/clock.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
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
    random_reset();
    EXPECT_EQ(random_below(32768), 41);
}

TEST(RandomBelow, StaysInRangeAndReachesEveryValue) {
    random_reset();
    for (int32_t n : {1, 3, 100}) {
        std::set<int32_t> seen;
        for (int i = 0; i < 5000; i++) {
            int32_t value = random_below(n);
            ASSERT_GE(value, 0);
            ASSERT_LT(value, n);
            seen.insert(value);
        }
        EXPECT_EQ(seen.size(), static_cast<size_t>(n));
    }
}

TEST(RandomBelow, ScalesInIntegersTruncating) {
    // 41 * 3 / 32768 = 0, 18467 * 3 / 32768 = 1, 26500 * 100 / 32768 = 80.
    random_reset();
    EXPECT_EQ(random_below(3), 0);
    EXPECT_EQ(random_below(3), 1);
    EXPECT_EQ(random_below(100), 19);
    EXPECT_EQ(random_below(100), 80);
}

TEST(RandomBelow, LargeRangesDoNotOverflow) {
    random_reset();
    for (int i = 0; i < 1000; i++) {
        int32_t value = random_below(1 << 24);
        ASSERT_GE(value, 0);
        ASSERT_LT(value, 1 << 24);
    }
}

using Utility = ScriptedTest;

TEST_F(Utility, DelayAdvancesTheClock) {
    delay_ms(40);
    delay_ms(2);
    EXPECT_EQ(clock_ticks(), 42u);
}

TEST_F(Utility, DebugLogFormatsAndTruncatesAt255Characters) {
    debug_log("RMask %04X, BMask %04X, GMask %04X\n", 0x7C00u, 0x1Fu, 0x3E0u);
    std::string long_text(400, 'x');
    debug_log("%s", long_text.c_str());
    ASSERT_EQ(scripted_debug_lines().size(), 2u);
    EXPECT_EQ(scripted_debug_lines()[0], "RMask 7C00, BMask 001F, GMask 03E0\n");
    EXPECT_EQ(scripted_debug_lines()[1], std::string(255, 'x'));
}

TEST_F(Utility, DebugLogWritesNothingOnTheStandardStreams) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    debug_log("Game!\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(FatalExit, EndsWithTheStatusGiven) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(fatal_exit(1), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(fatal_exit(7), testing::ExitedWithCode(7), "");
}

} // namespace
