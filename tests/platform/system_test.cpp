#include "platform/system.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

namespace {

using Utility = ScriptedTest;

TEST_F(Utility, DebugLogTruncatesAt255Characters) {
    debug_log("%s", std::string(400, 'x').c_str());
    EXPECT_EQ(scripted_debug_lines(), std::vector<std::string>{std::string(255, 'x')});
}

} // namespace
