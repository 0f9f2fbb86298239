// The window's own keys on the SDL platform (dummy driver): PrintScreen writes what is shown as a
// PNG at the window's scale, and neither it nor Alt+Enter reaches the game; Alt alone still does.
#include "platform/platform.h"
#include "platform/sdl_platform.h"
#include "support/test_archive.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

class SdlWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        pictures =
            std::filesystem::temp_directory_path() / ("zorbit-shots-" + std::to_string(::getpid()));
        setenv("XDG_PICTURES_DIR", pictures.c_str(), 1);
        unsetenv("SDL12COMPAT_WINDOW_SCALING");
        platform_use(sdl_platform());
        ASSERT_EQ(video_open(VideoMode{"Zorbit (SDL)", 320, 200, 15, false, 2, 0}), nullptr);
    }
    void TearDown() override {
        video_close();
        platform_use(nullptr);
        unsetenv("SDL12COMPAT_WINDOW_SCALING");
        std::filesystem::remove_all(pictures);
    }
    static void key_push(SDLKey sym, bool down, SDLMod mod = KMOD_NONE) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.sym = sym;
        event.key.keysym.mod = mod;
        SDL_PushEvent(&event);
    }
    static std::vector<PlatformEvent> events_drain() {
        std::vector<PlatformEvent> events;
        PlatformEvent event;
        while (events_poll(&event)) {
            events.push_back(event);
        }
        return events;
    }
    std::filesystem::path pictures;
};

TEST_F(SdlWindow, PrintScreenSavesTheShownFrameAtTheWindowsScale) {
    std::vector<uint16_t> frame(320 * 200, 0);
    frame[0] = 0x7C00;               // red, top left
    frame[199 * 320 + 319] = 0x001F; // blue, bottom right
    video_present(frame.data());
    key_push(SDLK_PRINT, true);
    key_push(SDLK_PRINT, false);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(events_drain().empty()) << "PrintScreen is the window's, not the game's";
    const std::string said = testing::internal::GetCapturedStdout();
    std::vector<std::filesystem::path> shots;
    for (const auto& entry : std::filesystem::directory_iterator(pictures / "zorbit")) {
        shots.push_back(entry.path());
    }
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_NE(said.find(shots[0].string()), std::string::npos) << said;
    uint32_t width = 0, height = 0;
    const std::vector<uint8_t> rgb = test_png_read(shots[0], &width, &height);
    ASSERT_EQ(rgb.size(), 640u * 400u * 3u);
    const auto pixel = [&](int x, int y) {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * 640 + x) * 3];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(pixel(1, 1), (std::vector<int>{255, 0, 0})) << "each pixel twice across and down";
    EXPECT_EQ(pixel(2, 2), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(pixel(639, 399), (std::vector<int>{0, 0, 255}));
}

TEST_F(SdlWindow, AltEnterNeverReachesTheGameButAltAloneDoes) {
    key_push(SDLK_LALT, true, KMOD_LALT);
    key_push(SDLK_RETURN, true, KMOD_LALT);
    key_push(SDLK_LALT, false);
    key_push(SDLK_RETURN, false);
    EXPECT_TRUE(events_drain().empty());
    key_push(SDLK_LALT, true, KMOD_LALT);
    key_push(SDLK_a, true, KMOD_LALT);
    const std::vector<PlatformEvent> events = events_drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].symbol, 308u) << "the held-back Alt, in its place";
    EXPECT_EQ(events[1].symbol, 97u);
}

} // namespace
