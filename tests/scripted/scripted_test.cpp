#include "gfx/display.h"
#include "platform/platform.h"
#include "scripted.h"
#include "support/scripted_support.h"
#include "support/test_archive.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using ScriptedBackend = ScriptedTest;

TEST_F(ScriptedBackend, ClockAdvancesOnSleepsAndPresents) {
    ScriptedSetup setup;
    setup.frame_ms = 20;
    scripted_restart(setup);
    EXPECT_EQ(clock_ticks(), 0u);
    clock_sleep(15);
    EXPECT_EQ(clock_ticks(), 15u);
    video_present(frame.data());
    video_present(frame.data());
    EXPECT_EQ(clock_ticks(), 55u);
    EXPECT_EQ(scripted_frame_count(), 2u);
    // A missing frame is not a frame.
    video_present(nullptr);
    EXPECT_EQ(scripted_frame_count(), 2u);
}

TEST_F(ScriptedBackend, TheChosenFramesAreWrittenAsPng) {
    std::string chosen = scripted_temp_path("shot_000001.png");
    std::string other = scripted_temp_path("shot_000000.png");
    std::filesystem::remove(chosen);
    std::filesystem::remove(other);
    ScriptedSetup setup;
    setup.snapshot_pattern = scripted_temp_path("shot_%06d.png");
    setup.snapshot_frames = {1};
    scripted_restart(setup);
    std::vector<uint16_t> pattern(320 * 200);
    for (size_t i = 0; i < pattern.size(); i++) {
        pattern[i] = static_cast<uint16_t>((i * 37) & 0x7FFF);
    }
    video_present(frame.data());
    video_present(pattern.data());
    EXPECT_EQ(scripted_last_frame(), pattern);
    EXPECT_FALSE(std::filesystem::exists(other));

    uint32_t width = 0, height = 0;
    const std::vector<uint8_t> rgb = test_png_read(chosen, &width, &height);
    ASSERT_EQ(rgb.size(), 320u * 200u * 3u);
    // Pixels 0, 37 and 74: 5-bit channels widened with their top bits repeated below.
    EXPECT_EQ((std::vector<uint8_t>(rgb.begin(), rgb.begin() + 9)),
              (std::vector<uint8_t>{0, 0, 0, 0, 8, 41, 0, 16, 82}));
}

TEST_F(ScriptedBackend, NoticesAreRecordedAndPrinted) {
    testing::internal::CaptureStderr();
    notice_show("Cannot open resource file", "Zorbit");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Zorbit: Cannot open resource file\n");
    EXPECT_EQ(scripted_notices(), std::vector<std::string>{"Zorbit: Cannot open resource file"});
}

using ScriptedBackendDeathTest = ScriptedTest;

TEST_F(ScriptedBackendDeathTest, RunsPastTheTimeLimitEndWithStatus3) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScriptedSetup setup;
    setup.time_limit_ms = 100;
    setup.frame_ms = 16;
    EXPECT_EXIT(
        {
            scripted_start(setup);
            std::vector<uint16_t> still(320 * 200);
            for (;;) {
                video_present(still.data());
            }
        },
        testing::ExitedWithCode(3), "time limit of 100 ms");
}

} // namespace
