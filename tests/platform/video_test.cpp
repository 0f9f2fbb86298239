// The SDL platform under the dummy video driver: the window scale and its environment.
#include "platform/platform.h"
#include "platform/sdl_platform.h"

#include <gtest/gtest.h>

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

// The dummy driver's desktop is 1024 x 768: 3 is the largest whole factor of 320 x 200 that fits.
// Vsync and the scale go to sdl12-compat unless the user chose them.
TEST_F(SdlVideo, TheScaleIsHeldToTheDesktopAndTheUsersChoiceWins) {
    const struct {
        int asked;
        const char* given;
        const char* said; // on stderr
    } cases[] = {{2, "2", ""},
                 {0, "3", ""},
                 {-4, "3", ""},
                 {5, "3", "Zorbit: a scale of 5 does not fit the desktop; using 3\n"}};
    for (const auto& c : cases) {
        unsetenv("SDL12COMPAT_SYNC_TO_VBLANK");
        unsetenv("SDL12COMPAT_WINDOW_SCALING");
        testing::internal::CaptureStderr();
        ASSERT_EQ(video_open(mode_with(15, c.asked, 0)), nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.said);
        video_close();
        EXPECT_STREQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), c.given) << c.asked;
        EXPECT_STREQ(std::getenv("SDL12COMPAT_SYNC_TO_VBLANK"), "1");
    }
    setenv("SDL12COMPAT_SYNC_TO_VBLANK", "0", 1);
    setenv("SDL12COMPAT_WINDOW_SCALING", "2", 1);
    ASSERT_EQ(video_open(mode_with(15, 3, 0)), nullptr);
    EXPECT_STREQ(std::getenv("SDL12COMPAT_SYNC_TO_VBLANK"), "0");
    EXPECT_STREQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), "2");
    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    unsetenv("SDL12COMPAT_SYNC_TO_VBLANK");
}

} // namespace
