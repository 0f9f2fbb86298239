// The SDL backend under the dummy video driver: modes, conversion at present, pacing.
#include "platform/video.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace {

class SdlVideo : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(scripted_active());
        video_set_frame_rate(0);
        ASSERT_TRUE(video_start()) << video_error();
    }
    void TearDown() override {
        video_stop();
        video_set_frame_rate(60);
    }
};

std::vector<uint16_t> test_frame() {
    std::vector<uint16_t> frame(320 * 200, 0);
    frame[0] = rgb555(31, 0, 0);
    frame[1] = rgb555(0, 31, 0);
    frame[2] = rgb555(0, 0, 31);
    frame[320 * 199 + 319] = 0x7FFF;
    frame[320 * 100 + 160] = rgb555(16, 8, 4);
    return frame;
}

uint32_t surface_pixel(int x, int y) {
    uint32_t value = 0xDEADBEEF;
    EXPECT_TRUE(video_surface_pixel(x, y, &value));
    return value;
}

TEST_F(SdlVideo, FifteenBitsIsRefusedAndTheSystemDepthTaken) {
    ASSERT_TRUE(video_open(320, 200, 15, false)) << video_error();
    EXPECT_EQ(video_surface_bits(), 32);
}

TEST_F(SdlVideo, PresentConvertsTo32Bits) {
    ASSERT_TRUE(video_open(320, 200, 32, false));
    ASSERT_EQ(video_surface_bits(), 32);
    std::vector<uint16_t> frame = test_frame();
    video_present(frame.data());
    EXPECT_EQ(surface_pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(surface_pixel(1, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(surface_pixel(2, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(surface_pixel(3, 0) & 0xFFFFFF, 0u);
    EXPECT_EQ(surface_pixel(319, 199) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(surface_pixel(160, 100) & 0xFFFFFF, 0x844221u);
}

TEST_F(SdlVideo, PresentConvertsTo16Bits) {
    ASSERT_TRUE(video_open(320, 200, 16, false));
    ASSERT_EQ(video_surface_bits(), 16);
    std::vector<uint16_t> frame = test_frame();
    video_present(frame.data());
    EXPECT_EQ(surface_pixel(0, 0), 0xF800u);
    EXPECT_EQ(surface_pixel(1, 0), 0x07E0u);
    EXPECT_EQ(surface_pixel(2, 0), 0x001Fu);
    EXPECT_EQ(surface_pixel(319, 199), 0xFFFFu);
    // Green gains a bit: 8 becomes 16 of 63.
    EXPECT_EQ(surface_pixel(160, 100), (16u << 11) | (16u << 5) | 4u);
}

TEST_F(SdlVideo, SurfaceQueriesOutsideAreRefused) {
    ASSERT_TRUE(video_open(320, 200, 32, false));
    uint32_t value = 0;
    EXPECT_FALSE(video_surface_pixel(320, 0, &value));
    EXPECT_FALSE(video_surface_pixel(0, -1, &value));
    video_stop();
    EXPECT_FALSE(video_surface_pixel(0, 0, &value));
    EXPECT_EQ(video_surface_bits(), 0);
}

// Before SDL starts: vsync and the window scale, unless the user chose otherwise.
TEST(SdlVideoStart, SetsScalingAndVsyncUnlessTheUserDid) {
    unsetenv("SDL12COMPAT_SYNC_TO_VBLANK");
    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    video_set_window_scale(4);
    ASSERT_TRUE(video_start());
    video_stop();
    EXPECT_STREQ(std::getenv("SDL12COMPAT_SYNC_TO_VBLANK"), "1");
    EXPECT_STREQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), "4");

    setenv("SDL12COMPAT_SYNC_TO_VBLANK", "0", 1);
    setenv("SDL12COMPAT_WINDOW_SCALING", "2", 1);
    video_set_window_scale(5);
    ASSERT_TRUE(video_start());
    video_stop();
    EXPECT_STREQ(std::getenv("SDL12COMPAT_SYNC_TO_VBLANK"), "0");
    EXPECT_STREQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), "2");

    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    video_set_window_scale(0);
    ASSERT_TRUE(video_start());
    video_stop();
    EXPECT_EQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), nullptr);
    unsetenv("SDL12COMPAT_SYNC_TO_VBLANK");
    video_set_window_scale(3);
}

// Only a lower bound: presents must not run faster than the rate asked for.
TEST_F(SdlVideo, PresentsArePacedToTheFrameRate) {
    ASSERT_TRUE(video_open(320, 200, 32, false));
    std::vector<uint16_t> frame = test_frame();
    video_set_frame_rate(100);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 11; i++) {
        video_present(frame.data());
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(95));
}

} // namespace
