#include "platform/platform.h"
#include "scripted.h"
#include "support/scripted_support.h"
#include "support/test_archive.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using ScriptedBackend = ScriptedTest;

TEST_F(ScriptedBackend, TheChosenFramesAreWrittenAsPng) {
    std::string chosen = scripted_temp_path("shot_000001.png");
    std::string other = scripted_temp_path("shot_000000.png");
    std::filesystem::remove(chosen);
    std::filesystem::remove(other);
    ScriptedSetup setup;
    setup.snapshot_pattern = scripted_temp_path("shot_%06d.png");
    setup.snapshot_frames = {1};
    scripted_start(setup);
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
