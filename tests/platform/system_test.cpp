#include "platform/system.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

namespace {

using Utility = ScriptedTest;

TEST_F(Utility, DebugLogFormatsAndTruncatesAt255Characters) {
    debug_log("RMask %04X, BMask %04X, GMask %04X\n", 0x7C00u, 0x1Fu, 0x3E0u);
    debug_log("%s", std::string(400, 'x').c_str());
    EXPECT_EQ(
        scripted_debug_lines(),
        (std::vector<std::string>{"RMask 7C00, BMask 001F, GMask 03E0\n", std::string(255, 'x')}));
}

TEST(FatalExit, EndsWithTheStatusGiven) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(fatal_exit(7), testing::ExitedWithCode(7), "");
}

} // namespace
