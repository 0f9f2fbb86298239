#pragma once
// What every screen test needs: the scripted platform, a back buffer, pictures in an archive,
// and a private working folder for zorbit.ini.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/display.h"
#include "gfx/pictures.h"
#include "input/keyboard.h"
#include "platform/audio.h"
#include "platform/platform.h"
#include "resources/archive.h"
#include "screens/function_keys.h"
#include "screens/overlays.h"
#include "scripted.h"
#include "settings/game_settings.h"
#include "sound/sound.h"
#include "support/scripted_support.h"
#include "support/test_archive.h"

using Frame = std::vector<uint16_t>;

// Every channel lowered by k, floored at zero.
inline uint16_t lowered(uint16_t pixel, int k) {
    return rgb555(std::max(((pixel >> 10) & 31) - k, 0), std::max(((pixel >> 5) & 31) - k, 0),
                  std::max((pixel & 31) - k, 0));
}

// A picture where neighbouring pixels differ in every channel.
inline std::vector<uint16_t> pattern_pixels(int width, int height, int seed) {
    std::vector<uint16_t> pixels(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const int x = static_cast<int>(i) % width, y = static_cast<int>(i) / width;
        pixels[i] = rgb555((x + seed) % 32, (y * 3 + seed) % 32, (x + y + seed) % 32);
    }
    return pixels;
}

inline std::vector<uint16_t> uniform_pixels(int width, int height, uint16_t colour) {
    return std::vector<uint16_t>(static_cast<size_t>(width) * height, colour);
}

inline int frames() {
    return static_cast<int>(scripted_frame_count());
}

// The hash of every frame presented since the platform started.
inline std::vector<uint64_t>& presented_hashes() {
    static std::vector<uint64_t> hashes;
    return hashes;
}

inline void presented_hash_keep(void*, const uint16_t* frame, uint64_t) {
    presented_hashes().push_back(frame_hash(frame));
}

// Index of the first presented frame equal to the given one at or after from, or -1.
inline int frame_find(const Frame& frame, size_t from = 0) {
    const auto& hashes = presented_hashes();
    const auto found = std::find(hashes.begin() + from, hashes.end(), frame_hash(frame.data()));
    return found == hashes.end() ? -1 : static_cast<int>(found - hashes.begin());
}

// A press and its release; the key is held for `held` virtual milliseconds.
inline void key_tap(std::vector<ScriptedKey>& keys, uint32_t tick, uint32_t symbol,
                    uint32_t held = 50) {
    keys.push_back({tick, symbol, true});
    keys.push_back({tick + held, symbol, false});
}

// The eight answers of the key screen in prompt order: red left, right, up, down, then green.
using Answers = std::array<uint32_t, 8>;
constexpr Answers letters_and_arrows = {'a', 'd', 'w', 's', 276, 275, 273, 274};

// Taps the answers 300 ms apart from `from` on, after the given keys.
inline std::vector<ScriptedKey> answers_script(const Answers& answers, uint32_t from = 4000,
                                               std::vector<ScriptedKey> keys = {}) {
    for (size_t i = 0; i < answers.size(); ++i) {
        key_tap(keys, from + 300 * static_cast<uint32_t>(i), answers[i]);
    }
    return keys;
}

inline Answers keys_now() {
    auto code = [](int32_t key) { return static_cast<uint32_t>(key); };
    return {code(game_settings.red_keys.left),   code(game_settings.red_keys.right),
            code(game_settings.red_keys.up),     code(game_settings.red_keys.down),
            code(game_settings.green_keys.left), code(game_settings.green_keys.right),
            code(game_settings.green_keys.up),   code(game_settings.green_keys.down)};
}

// Frames each overlay presents: the bar wipe, the curtain, two per prompt, the fade, the close.
constexpr int info_screen_frames = 64 + 91 + 1;
constexpr int key_screen_frames = 64 + 80 + 2 * 8 + 32 + 1;

struct ScreenPictures {
    bool present = true;    // entries 10 and 18..20
    bool malformed = false; // those present but cut short
    bool effect = false;    // entry 5, the title's sound
};

constexpr uint16_t bar_upper_colour = rgb555(31, 0, 0);
constexpr uint16_t bar_lower_colour = rgb555(0, 0, 31);
constexpr uint16_t marker_wait_colour = rgb555(31, 31, 0);
constexpr uint16_t marker_taken_colour = rgb555(0, 31, 0);

inline std::vector<TestEntry> screen_archive_entries(const ScreenPictures& pictures) {
    std::vector<TestEntry> entries(31);
    auto picture = [&](int w, int h, const std::vector<uint16_t>& pixels) {
        std::vector<uint8_t> bytes = test_image_entry(uint16_t(w), uint16_t(h), pixels);
        bytes.resize(pictures.malformed ? bytes.size() / 2 : bytes.size());
        return test_entry(bytes);
    };
    if (pictures.present) {
        entries[10] = picture(320, 181, pattern_pixels(320, 181, 7));
        entries[18] = picture(320, 159, pattern_pixels(320, 159, 11));
        entries[19] = picture(8, 6, uniform_pixels(8, 6, marker_taken_colour));
        entries[20] = picture(8, 6, uniform_pixels(8, 6, marker_wait_colour));
    }
    if (pictures.effect) {
        entries[5] = test_entry(std::vector<uint8_t>(600, 200));
    }
    return entries;
}

// The screen once the bars were wiped in and opened like a curtain over a picture in n frames.
inline Frame curtain_over(Frame screen, const std::vector<uint16_t>& picture, int n) {
    for (int y = 94; y < 106; ++y) {
        std::fill_n(screen.begin() + y * frame_width, frame_width,
                    y < 100 ? bar_upper_colour : bar_lower_colour);
    }
    for (int y = 95 - n; y <= 100 - n; ++y) {
        std::fill_n(screen.begin() + y * frame_width, frame_width, bar_upper_colour);
    }
    for (int row = 1; row <= 2 * n - 2; ++row) {
        std::copy_n(picture.begin() + row * frame_width, frame_width,
                    screen.begin() + (100 - n + row) * frame_width);
    }
    for (int y = 99 + n; y <= 104 + n; ++y) {
        std::fill_n(screen.begin() + y * frame_width, frame_width, bar_lower_colour);
    }
    return screen;
}

class ScreensTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(directory_);
        std::filesystem::current_path(directory_);
        game_settings_reset();
        game_settings.sound_disabled = 1;
        overlays.overlay_busy = 0;
        presented_hashes().clear();
    }

    void TearDown() override {
        scripted_stop();
        archive_close();
        sound_clear_samples();
        audio_close();
        pictures_free();
        display_back_buffer_free();
        std::filesystem::current_path(old_directory_);
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    static void pictures_free() {
        for (Bitmap** bitmap : {&pictures.wipe_bar_upper, &pictures.wipe_bar_lower,
                                &pictures.title_picture, &pictures.title_panels}) {
            bitmap_free(*bitmap);
            *bitmap = nullptr;
        }
    }

    // Starts the scripted platform with these keys and the pictures in a fresh archive. A test
    // may start several times; each start replaces the pictures of the last.
    void start(const std::vector<ScriptedKey>& keys, const ScreenPictures& shown = {}) {
        pictures_free();
        key_state.fill(0);
        ASSERT_TRUE(test_archive_open(screen_archive_entries(shown)));
        ScriptedSetup setup;
        setup.keys = keys;
        setup.time_limit_ms = 10 * 60 * 1000;
        setup.sinks.frame = presented_hash_keep;
        scripted_start(setup);
        display_open(320, 200, 15, 0);
        pixel_format_init();
        display_back_buffer_make();
        pictures.wipe_bar_upper = bitmap_from(5, 6, uniform_pixels(5, 6, bar_upper_colour));
        pictures.wipe_bar_lower = bitmap_from(5, 6, uniform_pixels(5, 6, bar_lower_colour));
    }

    static Bitmap* bitmap_from(int width, int height, const std::vector<uint16_t>& pixels) {
        Bitmap* bitmap = nullptr;
        bitmap_create(&bitmap, static_cast<int16_t>(width), static_cast<int16_t>(height));
        std::copy(pixels.begin(), pixels.end(), bitmap->pixels);
        return bitmap;
    }

    // Fills the back buffer with a pattern and presents it: the screen an overlay opens over.
    Frame screen_show_pattern(int seed) {
        const std::vector<uint16_t> pixels = pattern_pixels(frame_width, frame_height, seed);
        std::copy(pixels.begin(), pixels.end(), display.back_buffer);
        display_present(display.back_buffer);
        return pixels;
    }

    Frame screen() const { return Frame(display.back_buffer, display.back_buffer + frame_pixels); }

    std::filesystem::path directory_ = test_temp_path("screens");
    std::filesystem::path old_directory_ = std::filesystem::current_path();
};
