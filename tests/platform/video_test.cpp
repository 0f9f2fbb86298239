// The SDL backend under the dummy video driver: start-up environment, signals, pacing.
#include "platform/video.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
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

// Before SDL starts: vsync and the window scale, unless the user chose otherwise.
TEST(SdlVideoStart, SetsScalingAndVsyncUnlessTheUserDid) {
    auto start_with_scale = [](int scale) {
        video_set_window_scale(scale);
        ASSERT_TRUE(video_start());
        video_stop();
    };
    unsetenv("SDL12COMPAT_SYNC_TO_VBLANK");
    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    start_with_scale(4);
    EXPECT_STREQ(std::getenv("SDL12COMPAT_SYNC_TO_VBLANK"), "1");
    EXPECT_STREQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), "4");

    setenv("SDL12COMPAT_SYNC_TO_VBLANK", "0", 1);
    setenv("SDL12COMPAT_WINDOW_SCALING", "2", 1);
    start_with_scale(5);
    EXPECT_STREQ(std::getenv("SDL12COMPAT_SYNC_TO_VBLANK"), "0");
    EXPECT_STREQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), "2");

    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    start_with_scale(0);
    EXPECT_EQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), nullptr);
    unsetenv("SDL12COMPAT_SYNC_TO_VBLANK");
    video_set_window_scale(3);
}

TEST(SdlVideoStartDeathTest, InterruptAndTerminateStillEndTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (int signal_number : {SIGTERM, SIGINT}) {
        EXPECT_EXIT(
            {
                video_start();
                video_open(320, 200, 15, false);
                std::raise(signal_number);
                std::exit(0);
            },
            testing::KilledBySignal(signal_number), "");
    }
}

// Only a lower bound: presents must not run faster than the rate asked for.
TEST_F(SdlVideo, PresentsArePacedToTheFrameRate) {
    ASSERT_TRUE(video_open(320, 200, 32, false));
    std::vector<uint16_t> frame(320 * 200, 0x7FFF);
    video_set_frame_rate(100);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 11; i++) {
        video_present(frame.data());
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(95));
}

} // namespace
