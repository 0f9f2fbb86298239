// The sound as the game drives it: set-up starts it, bounces and collisions play effects.
#include "match/game_harness.h"
#include "match/match_loop.h"
#include "platform/audio.h"
#include "sound/sound.h"
#include "support/test_module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

namespace {

class GameSound : public ::testing::Test {
  protected:
    void SetUp() override {
        output = test_temp_path("game-audio.raw");
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");
    }

    void TearDown() override {
        sound_stop();
        game_harness_stop();
        std::filesystem::remove(output);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        sound_disabled = 0;
        music_disabled = 0;
    }

    // What start-up and game set-up do, with sound on and a module the loader accepts.
    void game_start(const char* driver, int32_t disabled = 0, int32_t music_off = 0) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        std::vector<TestEntry> entries = game_archive_entries();
        entries[2] = test_entry(test_module_make());
        entries[3] = test_entry(std::vector<uint8_t>(2000, 200)); // bounce: loud and long
        ASSERT_NO_FATAL_FAILURE(game_harness_prepare({}, entries));
        sound_disabled = disabled;
        music_disabled = music_off;
        sound_clear_samples();
        game_setup();
    }

    // Two kick-offs of 20 virtual seconds each: the ball meets every wall more than once.
    static void two_matches() {
        for (int match = 0; match < 2; ++match) {
            MatchState state{};
            match_begin(state);
            for (int frame = 0; frame < 1200; ++frame) {
                match_frame(state);
            }
        }
    }

    std::string output;
};

TEST_F(GameSound, BouncesAcrossMatchesShareOneSample) {
    game_start("disk", 0, 1); // music off: whatever sounds is an effect
    ASSERT_TRUE(audio_is_open());
    EXPECT_EQ(archive_entry_record(sound_music_entry)->ref_count, 0);
    two_matches();
    EXPECT_NE(archive_entry_record(3)->data, nullptr) << "the ball bounced";
    EXPECT_EQ(archive_entry_record(3)->ref_count, 1) << "read at the first bounce, then reused";
    // Let the device take a few buffers past the last bounce.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    sound_stop();
    EXPECT_FALSE(audio_is_open());
    const std::vector<uint8_t> bytes = test_read_file(output);
    std::vector<int16_t> frames(bytes.size() / 2);
    std::memcpy(frames.data(), bytes.data(), frames.size() * 2);
    EXPECT_GE(test_peak(frames), test_effect_level(200)) << "the bounces were heard";
}

TEST_F(GameSound, WithoutADeviceTheGameSaysSoOnceAndPlaysAsWithSoundOff) {
    game_start("no_such_driver", 1);
    two_matches();
    const std::vector<uint64_t> reference = scripted_frame_hashes();
    sound_stop();
    game_harness_stop();

    testing::internal::CaptureStderr();
    game_start("no_such_driver");
    two_matches();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("Zorbit: no sound: ", 0), 0u) << said;
    EXPECT_GT(said.size(), std::string("Zorbit: no sound: \n").size()) << "a reason is given";
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_FALSE(audio_is_open());
    EXPECT_GE(scripted_frame_count(), 2400u);
    EXPECT_EQ(scripted_frame_hashes(), reference) << "the same game, frame for frame";
    for (int32_t entry = 2; entry <= 5; ++entry) {
        EXPECT_EQ(archive_entry_record(entry)->ref_count, 0) << "entry " << entry;
    }
    EXPECT_FALSE(std::filesystem::exists(output));
}

} // namespace
