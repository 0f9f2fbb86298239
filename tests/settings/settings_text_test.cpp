// The parser's text helpers and its error line.
#include "settings/settings_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SettingsText, SkipSpacePointsIntoItsArgument) {
    const char* s = " \t\r\n\v\fx y";
    EXPECT_EQ(text_skip_space(s), s + 6);
    const char* blank = "   ";
    EXPECT_EQ(text_skip_space(blank), blank + 3);
    const char* high = "\xa0x";
    EXPECT_EQ(text_skip_space(high), high);
    EXPECT_EQ(text_skip_space(nullptr), nullptr);
}

// Only the six ASCII blanks count as white space, and only A to Z fold, whatever the locale.
TEST(SettingsText, TrimAndLowerTouchOnlyAsciiAndKeepAtMost1024Bytes) {
    EXPECT_STREQ(text_trim_end("  a b \t\r\n\v\f"), "  a b");
    EXPECT_STREQ(text_trim_end(" \n"), "");
    EXPECT_STREQ(text_trim_end("x\xa0"), "x\xa0");
    EXPECT_STREQ(text_lower_copy("AZaz@[`{09 \xc0\xdd"), "azaz@[`{09 \xc0\xdd");
    EXPECT_EQ(text_trim_end(nullptr), nullptr);
    EXPECT_EQ(text_lower_copy(nullptr), nullptr);
    const std::string longer(2000, 'Q');
    EXPECT_EQ(std::string(text_lower_copy(longer.c_str())), std::string(1024, 'q'));
    EXPECT_EQ(std::string(text_trim_end(longer.c_str())), std::string(1024, 'Q'));
}

TEST(SettingsText, ReportErrorFramesTheMessage) {
    testing::internal::CaptureStderr();
    report_error("value %d of %s", 3, "x");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "*** error: value 3 of x\n");
}

} // namespace
