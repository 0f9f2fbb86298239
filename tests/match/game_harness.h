#pragma once
// A small game archive with every picture the match needs, and the set-up that runs the real
// game code in-process on the scripted platform.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/game_settings.h"
#include "app/keyboard.h"
#include "app/utility.h"
#include "field/body.h"
#include "gfx/bitmap.h"
#include "gfx/sprite.h"
#include "match/setup.h"
#include "platform/scripted.h"
#include "resources/archive.h"
#include "support/test_archive.h"

inline uint16_t rgb555(int r, int g, int b) {
    return static_cast<uint16_t>((r & 31) << 10 | (g & 31) << 5 | (b & 31));
}

// Opaque everywhere (blue 16 is above every threshold the game uses) and different per place.
inline std::vector<uint16_t> picture_pattern(int w, int h, int seed) {
    std::vector<uint16_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            pixels[y * w + x] = rgb555(x + seed, y * 3 + seed, 16 + (seed & 15));
        }
    }
    return pixels;
}

// A sprite: black (transparent) border, a dark (blended) centre, a bright body.
inline std::vector<uint16_t> sprite_pixels(int w, int h, uint16_t colour) {
    std::vector<uint16_t> pixels(static_cast<size_t>(w) * h, colour);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1) {
                pixels[y * w + x] = 0;
            }
        }
    }
    pixels[(h / 2) * w + w / 2] = rgb555(6, 6, 6);
    return pixels;
}

// The pitch: walls grey, the inner area (8..311, 16..183) a green pattern, openings darker.
inline std::vector<uint16_t> pitch_pixels() {
    std::vector<uint16_t> pixels(320 * 200);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x) {
            uint16_t c = rgb555(20, 20, 20);
            if (x >= 8 && x <= 311 && y >= 16 && y <= 183) {
                c = rgb555((x / 8) & 7, 12 + ((x + y) & 7), (y / 8) & 7);
            } else if (x >= 136 && x <= 184) {
                c = rgb555(2, 2, 10);
            }
            pixels[y * 320 + x] = c;
        }
    }
    return pixels;
}

// The clock bar: white caps, cells in colours that tell them apart.
inline std::vector<uint16_t> clock_pixels() {
    std::vector<uint16_t> pixels(101 * 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 101; ++x) {
            const bool cap = x < 9 || x >= 93;
            pixels[y * 101 + x] = cap ? rgb555(31, 31, 31) : rgb555(31, (x - 9) % 32, y * 4);
        }
    }
    return pixels;
}

// 30 marker frames of 10 x 8; frame k is a solid colour with red level k.
inline std::vector<uint16_t> marker_pixels() {
    std::vector<uint16_t> pixels(10 * 240);
    for (int k = 0; k < 30; ++k) {
        for (int i = 0; i < 80; ++i) {
            pixels[k * 80 + i] = rgb555(k, 31, 20);
        }
    }
    return pixels;
}

inline TestEntry image_entry(int w, int h, const std::vector<uint16_t>& pixels) {
    return test_entry(test_image_entry(static_cast<uint16_t>(w), static_cast<uint16_t>(h), pixels));
}

inline TestEntry pattern_entry(int w, int h, int seed) {
    return image_entry(w, h, picture_pattern(w, h, seed));
}

constexpr int test_player_size = 14;
constexpr int test_ball_size = 10;

inline std::vector<TestEntry> game_archive_entries() {
    std::vector<TestEntry> e(31, test_entry({}));
    e[0] = test_entry(test_text_entry("file_id.diz of the test archive\n"));
    e[1] = test_entry(test_text_entry("readme of the test archive\n"));
    e[2] = test_entry(std::vector<uint8_t>(64, 0));
    for (int i = 3; i <= 5; ++i) {
        e[i] = test_entry(std::vector<uint8_t>(200, 128));
    }
    e[7] = image_entry(test_player_size, test_player_size,
                       sprite_pixels(test_player_size, test_player_size, rgb555(31, 4, 4)));
    e[8] = image_entry(test_player_size, test_player_size,
                       sprite_pixels(test_player_size, test_player_size, rgb555(4, 31, 4)));
    e[9] = image_entry(test_ball_size, test_ball_size,
                       sprite_pixels(test_ball_size, test_ball_size, rgb555(31, 31, 31)));
    e[10] = pattern_entry(320, 181, 3);
    e[11] = pattern_entry(320, 200, 5);
    e[12] = pattern_entry(320, 475, 7);
    e[13] = image_entry(320, 200, pitch_pixels());
    e[14] = pattern_entry(120, 40, 9);
    e[15] = pattern_entry(120, 40, 11);
    e[16] = pattern_entry(5, 6, 13);
    e[17] = pattern_entry(5, 6, 15);
    e[18] = pattern_entry(320, 159, 17);
    e[19] = pattern_entry(16, 16, 19);
    e[20] = pattern_entry(16, 16, 21);
    e[21] = image_entry(101, 8, clock_pixels());
    e[22] = image_entry(10, 240, marker_pixels());
    e[23] = pattern_entry(31, 962, 23);
    e[24] = pattern_entry(43, 962, 25);
    e[25] = pattern_entry(100, 40, 27);
    e[26] = pattern_entry(80, 30, 29);
    e[27] = pattern_entry(80, 30, 31);
    e[28] = pattern_entry(100, 30, 1);
    e[29] = pattern_entry(160, 40, 2);
    e[30] = pattern_entry(120, 30, 4);
    return e;
}

// The set-up writes readme and file_id.diz into the working folder: keep them out of
// wherever the tests were started.
inline void harness_folder_enter() {
    struct Folder {
        std::filesystem::path path = test_temp_path("harness");
        Folder() { std::filesystem::create_directories(path); }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    if (chdir(folder.path.c_str()) != 0) {
        ADD_FAILURE() << "cannot enter " << folder.path;
    }
}

// Starts the scripted platform, opens the test archive and runs the game set-up, the way
// start-up does, with sound off and the built-in settings otherwise.
inline void game_harness_start(const ScriptedSetup& setup = {},
                               const std::vector<TestEntry>& entries = game_archive_entries()) {
    scripted_start(setup);
    random_reset();
    game_settings_reset();
    sound_disabled = 1;
    fullscreen = 0;
    alpha_threshold = 15;
    key_state.fill(0);
    body_list_free();
    archive_close();
    ASSERT_TRUE(test_archive_open(entries));
    harness_folder_enter();
    display_open(320, 200, 15, 0);
    game_setup();
}

inline void game_harness_stop() {
    body_list_free();
    archive_close();
    scripted_stop();
}

inline uint16_t screen_pixel(int x, int y) {
    return back_buffer[y * 320 + x];
}

// A tiny full-size picture of what is on the back buffer, for comparisons.
inline std::vector<uint16_t> screen_copy() {
    return std::vector<uint16_t>(back_buffer, back_buffer + 320 * 200);
}
