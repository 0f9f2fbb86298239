#include "gfx/display.h"
#include "platform/sdl_platform.h"
#include "settings/game_settings.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Display = ScriptedTest;

TEST_F(Display, OpenSetsTheFrameRateClearZeroesTheFrameAndNotOneByteMore) {
    // Even after asking for a 32-bit depth the buffers stay 16-bit.
    game_settings.refresh_rate = 50;
    EXPECT_EQ(display_open(320, 200, 32, 0), 1);
    game_settings.refresh_rate = 60;
    EXPECT_EQ(scripted_frame_rate(), 50);
    std::vector<uint16_t> buffer(320 * 200 + 4, 0xABCD);
    EXPECT_EQ(display_clear(buffer.data()), 1);
    EXPECT_EQ(std::count(buffer.begin(), buffer.begin() + 320 * 200, 0), 320 * 200);
    EXPECT_EQ(buffer[320 * 200], 0xABCD);
}

// FNV-1a 64 over the little-endian bytes, worked out independently, and only for the frames of a
// match, handed on as they are shown.
TEST_F(Display, CountedFramesAreHashedAsTheyAreShown) {
    std::vector<uint16_t> pattern(320 * 200);
    for (size_t i = 0; i < pattern.size(); i++) {
        pattern[i] = static_cast<uint16_t>((i * 37) & 0x7FFF);
    }
    std::vector<uint64_t> hashes;
    display_hash_sink_set(
        [](void* out, uint64_t hash) { static_cast<std::vector<uint64_t>*>(out)->push_back(hash); },
        &hashes);
    display_present(frame.data());
    EXPECT_TRUE(hashes.empty()) << "the title and overlays are not counted";
    display_hashing_set(true);
    display_present(frame.data());
    display_present(pattern.data());
    display_hashing_set(false);
    display_hash_sink_set(nullptr, nullptr);
    EXPECT_EQ(hashes, (std::vector<uint64_t>{0xb7b725b914373325ULL, 0xda13b1a71028aad5ULL}));
    EXPECT_EQ(scripted_frame_count(), 3u);
}

// The real SDL backend under the dummy driver.
class DisplayDeathTest : public ::testing::Test {
  protected:
    void SetUp() override { platform_use(sdl_platform()); }
    void TearDown() override { platform_use(nullptr); }
};

TEST_F(DisplayDeathTest, SdlThatCannotStartOrARefusedModeEndsWithOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(display_open(-5, -5, 15, 0), testing::ExitedWithCode(1),
                "Couldn't set -5x-5x15 video mode: ");
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    EXPECT_EXIT(display_open(320, 200, 15, 0), testing::ExitedWithCode(1),
                "Zorbit: Could not initialize SDL: ");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

} // namespace
