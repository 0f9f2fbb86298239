// The SDL platform under the dummy video driver: the window scale and its environment.
#include "platform/platform.h"
#include "platform/sdl_platform.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

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
        bool user_chose; // scale 2 and vsync 0
        const char* given;
        const char* said; // on stderr
    } cases[] = {{2, false, "2", ""},
                 {0, false, "3", ""},
                 {5, false, "3", "Zorbit: a scale of 5 does not fit the desktop; using 3\n"},
                 {3, true, "2", ""}};
    for (const auto& c : cases) {
        unsetenv("SDL12COMPAT_SYNC_TO_VBLANK");
        unsetenv("SDL12COMPAT_WINDOW_SCALING");
        if (c.user_chose) {
            setenv("SDL12COMPAT_SYNC_TO_VBLANK", "0", 1);
            setenv("SDL12COMPAT_WINDOW_SCALING", "2", 1);
        }
        testing::internal::CaptureStderr();
        ASSERT_EQ(video_open(VideoMode{"Zorbit (SDL)", 320, 200, 15, false, c.asked, 0}), nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.said);
        video_close();
        EXPECT_STREQ(std::getenv("SDL12COMPAT_WINDOW_SCALING"), c.given) << c.asked;
        EXPECT_STREQ(std::getenv("SDL12COMPAT_SYNC_TO_VBLANK"), c.user_chose ? "0" : "1");
    }
    unsetenv("SDL12COMPAT_WINDOW_SCALING");
    unsetenv("SDL12COMPAT_SYNC_TO_VBLANK");
}

} // namespace
