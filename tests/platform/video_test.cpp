// The SDL platform under the dummy video driver: start-up environment, signals, pacing.
#include "platform/platform.h"
#include "platform/sdl_platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>

namespace {

VideoMode mode_with(int32_t bits, int32_t scale, int32_t frame_rate) {
    return VideoMode{"Zorbit (SDL)", 320, 200, bits, false, scale, frame_rate};
}

class SdlVideo : public ::testing::Test {
  protected:
    void SetUp() override { platform_use(sdl_platform()); }
    void TearDown() override {
        video_close();
        platform_use(nullptr);
    }
};

// Before SDL starts: vsync and the window scale, unless the user chose otherwise.
TEST_F(SdlVideo, SetsScalingAndVsyncUnlessTheUserDid) {
    auto open_with_scale = [](int scale) {
        ASSERT_EQ(video_open(mode_with(15, scale, 0)), nullptr);
        video_close();
    };
    unsetenv("SDL12COMPAT_SYNC_TO_VBLANK");
    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    open_with_scale(4);
    EXPECT_STREQ(std::getenv("SDL12COMPAT_SYNC_TO_VBLANK"), "1");
    EXPECT_STREQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), "4");

    setenv("SDL12COMPAT_SYNC_TO_VBLANK", "0", 1);
    setenv("SDL12COMPAT_WINDOW_SCALING", "2", 1);
    open_with_scale(5);
    EXPECT_STREQ(std::getenv("SDL12COMPAT_SYNC_TO_VBLANK"), "0");
    EXPECT_STREQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), "2");

    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    open_with_scale(0);
    EXPECT_EQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), nullptr);
    unsetenv("SDL12COMPAT_SYNC_TO_VBLANK");
}

using SdlVideoDeathTest = SdlVideo;

TEST_F(SdlVideoDeathTest, InterruptAndTerminateStillEndTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int signal_number : {SIGTERM, SIGINT}) {
        EXPECT_EXIT(
            {
                video_open(mode_with(15, 0, 0));
                std::raise(signal_number);
                std::exit(0);
            },
            testing::KilledBySignal(signal_number), "");
    }
}

// Only a lower bound: presents must not run faster than the rate asked for.
TEST_F(SdlVideo, PresentsArePacedToTheFrameRate) {
    ASSERT_EQ(video_open(mode_with(32, 0, 100)), nullptr);
    std::vector<uint16_t> frame(320 * 200, 0x7FFF);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 11; i++) {
        video_present(frame.data());
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(95));
}

} // namespace
