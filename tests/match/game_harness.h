#pragma once
// A small game archive with every picture the match needs, and the set-up that runs the real
// game code in-process on the scripted platform.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/game.h"
#include "field/body.h"
#include "field/plasma.h"
#include "field/random.h"
#include "gfx/bitmap.h"
#include "gfx/display.h"
#include "gfx/pictures.h"
#include "gfx/sprite.h"
#include "input/keyboard.h"
#include "input/match_input.h"
#include "platform/system.h"
#include "resources/archive.h"
#include "scripted.h"
#include "settings/game_settings.h"
#include "support/scripted_support.h"
#include "support/test_archive.h"

template <typename Colour> std::vector<uint16_t> pixels_of(int w, int h, Colour colour) {
    std::vector<uint16_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            pixels[y * w + x] = colour(x, y);
        }
    }
    return pixels;
}

inline TestEntry image_entry(int w, int h, const std::vector<uint16_t>& pixels) {
    return test_entry(test_image_entry(static_cast<uint16_t>(w), static_cast<uint16_t>(h), pixels));
}

// Opaque everywhere (blue 16 is above every threshold the game uses) and different per place.
inline TestEntry pattern_entry(int w, int h, int seed) {
    return image_entry(w, h, pixels_of(w, h, [seed](int x, int y) {
                           return rgb555((x + seed) & 31, (y * 3 + seed) & 31, 16 + (seed & 15));
                       }));
}

// A sprite: black (transparent) border, a dark (blended) centre, a bright body.
inline TestEntry sprite_entry(int size, uint16_t colour) {
    return image_entry(size, size, pixels_of(size, size, [=](int x, int y) -> uint16_t {
                           if (x == 0 || y == 0 || x == size - 1 || y == size - 1) {
                               return 0;
                           }
                           return x == size / 2 && y == size / 2 ? rgb555(6, 6, 6) : colour;
                       }));
}

// The pitch: walls grey, the inner area (8..311, 16..183) a green pattern, openings darker.
inline uint16_t pitch_colour(int x, int y) {
    if (x >= 8 && x <= 311 && y >= 16 && y <= 183) {
        return rgb555((x / 8) & 7, 12 + ((x + y) & 7), (y / 8) & 7);
    }
    return x >= 136 && x <= 184 ? rgb555(2, 2, 10) : rgb555(20, 20, 20);
}

// The clock bar: white caps, cells in colours that tell them apart.
inline uint16_t clock_colour(int x, int y) {
    return x < 9 || x >= 93 ? rgb555(31, 31, 31) : rgb555(31, (x - 9) % 32, y * 4);
}

// The game's archive: pictures of the sizes the game draws, texts, and sound-sized filler.
inline std::vector<TestEntry> game_archive_entries() {
    std::vector<TestEntry> e(31, test_entry({}));
    e[0] = test_entry(test_text_entry("file_id.diz of the test archive\n"));
    e[1] = test_entry(test_text_entry("readme of the test archive\n"));
    e[2] = test_entry(std::vector<uint8_t>(64, 0));
    for (int i = 3; i <= 5; ++i) {
        e[i] = test_entry(std::vector<uint8_t>(200, 128));
    }
    e[7] = sprite_entry(14, rgb555(31, 4, 4));   // red player
    e[8] = sprite_entry(14, rgb555(4, 31, 4));   // green player
    e[9] = sprite_entry(10, rgb555(31, 31, 31)); // ball
    e[13] = image_entry(320, 200, pixels_of(320, 200, pitch_colour));
    e[21] = image_entry(101, 8, pixels_of(101, 8, clock_colour));
    // 30 marker frames of 10 x 8; frame k is a solid colour with red level k.
    e[22] =
        image_entry(10, 240, pixels_of(10, 240, [](int, int y) { return rgb555(y / 8, 31, 20); }));
    const int patterns[][4] = {{10, 320, 181, 3}, {11, 320, 200, 5},  {12, 320, 475, 7},
                               {14, 120, 40, 9},  {15, 120, 40, 11},  {16, 5, 6, 13},
                               {17, 5, 6, 15},    {18, 320, 159, 17}, {19, 16, 16, 19},
                               {20, 16, 16, 21},  {23, 31, 962, 23},  {24, 43, 962, 25},
                               {25, 100, 40, 27}, {26, 80, 30, 29},   {27, 80, 30, 31},
                               {28, 100, 30, 1},  {29, 160, 40, 2},   {30, 120, 30, 4}};
    for (const auto& p : patterns) {
        e[p[0]] = pattern_entry(p[1], p[2], p[3]);
    }
    return e;
}

// Goal, time-up and end pictures of 99 x 39 pixels, each in a colour of its own (both bytes
// non-zero, so the zoom's byte-wise copy keeps it whole), so that their places show on screen.
inline uint16_t placed_colour(int entry) {
    return rgb555(entry, 1, 1);
}

inline std::vector<TestEntry> placed_archive_entries() {
    std::vector<TestEntry> e = game_archive_entries();
    for (int entry : {14, 15, 25, 26, 27, 28, 29, 30}) {
        e[entry] = image_entry(99, 39, std::vector<uint16_t>(99 * 39, placed_colour(entry)));
    }
    return e;
}

// The top-left corner of all that each placed picture covered in the frames presented (with the
// plasma off: no other colour has green 1 and blue 1).
struct PictureCorners {
    std::map<uint16_t, std::pair<int, int>> corners;

    static void keep(void* self, const uint16_t* frame, uint64_t) {
        auto& corners = static_cast<PictureCorners*>(self)->corners;
        for (int i = 0; i < 320 * 200; ++i) {
            if ((frame[i] & 0x3FF) == (1 << 5 | 1)) { // green 1, blue 1
                auto [it, fresh] = corners.try_emplace(frame[i], i % 320, i / 320);
                it->second.first = std::min(it->second.first, i % 320);
                it->second.second = std::min(it->second.second, i / 320);
            }
        }
    }
    std::pair<int, int> of(int entry) const {
        auto it = corners.find(placed_colour(entry));
        return it == corners.end() ? std::pair{-1, -1} : it->second;
    }
};

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

// Everything start-up does before the game set-up: the scripted platform, the built-in
// settings with sound off, the test archive and the display.
inline void game_harness_prepare(const ScriptedSetup& setup = {},
                                 const std::vector<TestEntry>& entries = game_archive_entries()) {
    scripted_start(setup);
    random_reset();
    game_settings_reset();
    game_settings.sound_disabled = 1;
    game_settings.fullscreen = 0;
    alpha_threshold = 15;
    key_state.fill(0);
    body_list_free();
    archive_close();
    ASSERT_TRUE(test_archive_open(entries));
    harness_folder_enter();
    display_open(320, 200, 15, 0);
}

// Starts the game the way start-up does, with sound off.
inline void game_harness_start(const ScriptedSetup& setup = {},
                               const std::vector<TestEntry>& entries = game_archive_entries()) {
    ASSERT_NO_FATAL_FAILURE(game_harness_prepare(setup, entries));
    game_setup();
}

// What the game's own end does, then the platform and the frame hashes back to none.
inline void game_harness_stop() {
    program_exit();
    display_hash_sink_set(nullptr, nullptr);
    display_hashing_set(false);
    scripted_stop();
}

// The hashes of the frames a match presents, collected while the collector lives.
struct FrameHashes {
    std::vector<uint64_t> hashes;
    FrameHashes() {
        display_hash_sink_set(
            [](void* self, uint64_t hash) {
                static_cast<FrameHashes*>(self)->hashes.push_back(hash);
            },
            this);
    }
    ~FrameHashes() { display_hash_sink_set(nullptr, nullptr); }
};

// The keyboard as the match's input, as the game's own cycle uses it.
inline KeyboardInput& harness_keyboard() {
    static KeyboardInput keyboard;
    return keyboard;
}

inline const MatchInput& harness_input() {
    static const MatchInput input = keyboard_match_input(&harness_keyboard());
    return input;
}

class HarnessTest : public ::testing::Test {
  protected:
    void SetUp() override { game_harness_start(); }
    void TearDown() override { game_harness_stop(); }
};

// A fresh game with the kick-off's three bodies at hand: players 14 x 14, ball 10 x 10.
class KickOffTest : public HarnessTest {
  protected:
    void SetUp() override {
        HarnessTest::SetUp();
        body_list_reset();
        kick_off();
        red = field.body_head;
        green = red->next;
        ball = field.body_tail;
    }
    static void place(Body* b, double x, double y, double vx, double vy) {
        b->x = x;
        b->y = y;
        b->vx = vx;
        b->vy = vy;
    }
    Body* red = nullptr;
    Body* green = nullptr;
    Body* ball = nullptr;
};

inline uint16_t screen_pixel(int x, int y) {
    return display.back_buffer[y * 320 + x];
}

inline std::vector<uint16_t> screen_copy() {
    return std::vector<uint16_t>(display.back_buffer, display.back_buffer + 320 * 200);
}
