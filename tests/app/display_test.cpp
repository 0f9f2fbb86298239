#include "app/display.h"
#include "app/game_settings.h"
#include "platform/video.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Display = ScriptedTest;

TEST_F(Display, OpenSetsTheSizesAndTheFrameRate) {
    refresh_rate = 50;
    EXPECT_EQ(display_open(320, 200, 15, 0), 1);
    refresh_rate = 60;
    EXPECT_EQ(bytes_per_pixel, 2);
    EXPECT_EQ(screen_width, 320);
    EXPECT_EQ(screen_height, 200);
    EXPECT_EQ(scripted_frame_rate(), 50);
}

TEST_F(Display, BytesPerPixelFollowTheDepthAsked) {
    const std::vector<std::pair<int, int>> cases = {{15, 2}, {16, 2}, {24, 4}, {32, 4}, {8, 1}};
    for (auto [bits, bytes] : cases) {
        display_open(640, 480, bits, 0);
        EXPECT_EQ(bytes_per_pixel, bytes) << bits << " bits";
        // The logical size never follows the size asked for.
        EXPECT_EQ(screen_width, 320);
        EXPECT_EQ(screen_height, 200);
    }
    display_open(320, 200, 15, 0);
}

TEST_F(Display, NullBuffersDoNothing) {
    uint16_t* before = draw_target;
    EXPECT_EQ(display_set_target(nullptr), 0);
    EXPECT_EQ(draw_target, before);
    EXPECT_EQ(display_clear(nullptr), 0);
    EXPECT_EQ(display_present(nullptr), 0);
    EXPECT_EQ(scripted_frame_count(), 0u);
}

TEST_F(Display, PresentShowsTheBufferAsItIs) {
    frame[0] = 0x7FFF;
    frame[320 * 200 - 1] = rgb555(1, 2, 3);
    EXPECT_EQ(display_present(frame.data()), 1);
    EXPECT_EQ(scripted_frame_count(), 1u);
    EXPECT_EQ(scripted_last_frame(), frame);
}

TEST_F(Display, ClearZeroesTheFrameAndNotOneByteMore) {
    std::vector<uint16_t> buffer(320 * 200 + 4, 0xABCD);
    EXPECT_EQ(display_clear(buffer.data()), 1);
    EXPECT_EQ(std::count(buffer.begin(), buffer.begin() + 320 * 200, 0), 320 * 200);
    EXPECT_EQ(buffer[320 * 200], 0xABCD);
    // Even after asking for a 32-bit depth the buffers stay 16-bit.
    display_open(320, 200, 32, 0);
    buffer.assign(320 * 200 + 4, 0xABCD);
    display_clear(buffer.data());
    EXPECT_EQ(buffer[320 * 200], 0xABCD);
    display_open(320, 200, 15, 0);
}

TEST_F(Display, SetTargetChangesWhereDrawingGoes) {
    std::vector<uint16_t> other(320 * 200);
    EXPECT_EQ(display_set_target(other.data()), 1);
    EXPECT_EQ(draw_target, other.data());
}

TEST_F(Display, PixelFormatDescribesRgb555AndTracesTheMasks) {
    pixel_format = PixelFormat{};
    pixel_format_init();
    EXPECT_EQ(pixel_format.red_mask, 0x7C00);
    EXPECT_EQ(pixel_format.green_mask, 0x03E0);
    EXPECT_EQ(pixel_format.blue_mask, 0x001F);
    EXPECT_EQ(pixel_format.red_max, 31);
    EXPECT_EQ(pixel_format.green_max, 31);
    EXPECT_EQ(pixel_format.blue_max, 31);
    EXPECT_EQ(pixel_format.red_shift, 10);
    EXPECT_EQ(pixel_format.green_shift, 5);
    EXPECT_EQ(pixel_format.blue_shift, 0);
    EXPECT_EQ(pixel_format.green_bits, 5);
    ASSERT_EQ(scripted_debug_lines().size(), 1u);
    // Red, blue, green: the order the trace has always had.
    EXPECT_EQ(scripted_debug_lines()[0], "RMask 7C00, BMask 001F, GMask 03E0\n");
}

// The real SDL backend under the dummy driver.
class DisplaySdl : public ::testing::Test {
  protected:
    void TearDown() override { display_close(); }
};

TEST_F(DisplaySdl, OpensAWindowAndPresentsConverted) {
    ASSERT_FALSE(scripted_active());
    refresh_rate = 0;
    ASSERT_EQ(display_open(320, 200, 15, 0), 1);
    refresh_rate = 60;
    EXPECT_EQ(bytes_per_pixel, 2);
    EXPECT_EQ(video_surface_bits(), 32);
    std::vector<uint16_t> buffer(320 * 200, rgb555(31, 0, 31));
    EXPECT_EQ(display_present(buffer.data()), 1);
    uint32_t pixel = 0;
    ASSERT_TRUE(video_surface_pixel(100, 100, &pixel));
    EXPECT_EQ(pixel & 0xFFFFFF, 0xFF00FFu);
}

TEST_F(DisplaySdl, A16BitModeIsConvertedToo) {
    refresh_rate = 0;
    ASSERT_EQ(display_open(320, 200, 16, 0), 1);
    refresh_rate = 60;
    ASSERT_EQ(video_surface_bits(), 16);
    std::vector<uint16_t> buffer(320 * 200, rgb555(0, 31, 0));
    display_present(buffer.data());
    uint32_t pixel = 0;
    ASSERT_TRUE(video_surface_pixel(5, 5, &pixel));
    EXPECT_EQ(pixel, 0x07E0u);
}

using DisplayDeathTest = DisplaySdl;

TEST_F(DisplayDeathTest, SdlThatCannotStartEndsWithMinusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            display_open(320, 200, 15, 0);
        },
        testing::ExitedWithCode(255), "");
}

TEST_F(DisplayDeathTest, ARefusedModeEndsWithOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(display_open(-5, -5, 15, 0), testing::ExitedWithCode(1),
                "Couldn't set -5x-5x15 video mode: ");
}

} // namespace
