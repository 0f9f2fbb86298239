// The sound as the game drives it: set-up starts it, bounces and collisions play effects.
#include "match/game_harness.h"
#include "match/match_loop.h"
#include "sound/sound.h"
#include "support/test_module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::vector<int16_t> heard;

class GameSound : public ::testing::Test {
  protected:
    void TearDown() override {
        game_harness_stop();
        heard.clear();
    }

    // What start-up and game set-up do, with sound on and a module the loader accepts; a
    // device that cannot be had when `device` is false.
    void game_start(bool device, int32_t disabled = 0, int32_t music_off = 0) {
        std::vector<TestEntry> entries = game_archive_entries();
        entries[2] = test_entry(test_module_make());
        entries[3] = test_entry(std::vector<uint8_t>(2000, 200)); // bounce: loud and long
        ScriptedSetup setup;
        setup.sinks.audio = [](void*, const int16_t* frames, int count) {
            heard.insert(heard.end(), frames, frames + 2 * count);
        };
        setup.audio_refused = !device;
        ASSERT_NO_FATAL_FAILURE(game_harness_prepare(setup, entries));
        game_settings.sound_disabled = disabled;
        game_settings.music_disabled = music_off;
        sound_clear_samples();
        game_setup();
    }

    // Two kick-offs of 20 virtual seconds each: the ball meets every wall more than once.
    static void two_matches() {
        for (int match = 0; match < 2; ++match) {
            MatchState state{};
            match_begin(state, harness_input());
            for (int frame = 0; frame < 1200; ++frame) {
                match_frame(state, harness_input());
            }
        }
    }
};

// One bounce of the ball off the right wall, and one touch of the ball and the red player. Each
// sounds its own effect (its own level) at its own frequency: length / frequency x 44100 frames.
TEST_F(GameSound, BounceAndCollisionSoundTheirEffectsAtTheirFrequencies) {
    const struct {
        double ball_x, ball_y, ball_vx;
        int length;
        int level;
    } plays[] = {{300.5, 40, 3.5, 2000 * 44100 / 20000, test_effect_level(200)},
                 {85, 95, 0, 2400 * 44100 / 24000, test_effect_level(60)}};
    for (const auto& play : plays) {
        std::vector<TestEntry> entries = game_archive_entries();
        entries[3] = test_entry(std::vector<uint8_t>(2000, 200)); // bounce
        entries[4] = test_entry(std::vector<uint8_t>(2400, 60));  // collision
        ASSERT_NO_FATAL_FAILURE(game_harness_start({}, entries));
        game_settings.sound_disabled = 0;
        sound_clear_samples();
        MatchState state{};
        match_begin(state, harness_input());
        Body* ball = field.body_tail;
        ball->x = play.ball_x;
        ball->y = play.ball_y;
        ball->vx = play.ball_vx;
        ball->vy = 0;
        match_frame(state, harness_input()); // no time passes: only the touch
        match_frame(state, harness_input()); // 16 ms: the bounce
        const auto [length, level] = test_effect_heard();
        EXPECT_NEAR(length, play.length, 2) << play.ball_x;
        EXPECT_NEAR(level, play.level, 2) << play.ball_x;
        game_harness_stop();
    }
}

TEST_F(GameSound, BouncesAcrossMatchesShareOneSample) {
    game_start(true, 0, 1); // music off: whatever sounds is an effect
    ASSERT_TRUE(scripted_audio_is_open());
    two_matches();
    EXPECT_EQ(archive_entry_record(3)->ref_count, 1) << "read at the first bounce, then reused";
    EXPECT_GE(test_peak(heard), test_effect_level(200)) << "the bounces were heard";
}

// Sound switched off, and sound on without a device: the same game frame for frame, the device
// never open and no sound entry read; only the second says why, once.
TEST_F(GameSound, WithoutADeviceTheGameSaysSoOnceAndPlaysAsWithSoundOff) {
    std::vector<uint64_t> reference;
    for (const bool device : {true, false}) {
        SCOPED_TRACE(device ? "sound off" : "no device");
        testing::internal::CaptureStderr();
        game_start(device, device ? 1 : 0);
        FrameHashes collected;
        two_matches();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(scripted_audio_is_open());
        EXPECT_TRUE(heard.empty());
        for (int32_t entry = 2; entry <= 5; ++entry) {
            EXPECT_EQ(archive_entry_record(entry)->data, nullptr) << "entry " << entry;
        }
        if (device) {
            EXPECT_EQ(said, "");
            reference = collected.hashes;
        } else {
            EXPECT_EQ(said.rfind("Zorbit: no sound: ", 0), 0u) << said;
            EXPECT_GT(said.size(), std::string("Zorbit: no sound: \n").size()) << "a reason";
            EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
            EXPECT_GE(collected.hashes.size(), 2400u);
            EXPECT_EQ(collected.hashes, reference) << "the same game, frame for frame";
        }
        game_harness_stop();
    }
}

} // namespace
