// The sound operations on the scripted platform: the real mixer renders on virtual time into a
// capture the tests read.
#include "platform/audio.h"
#include "platform/platform.h"
#include "resources/archive.h"
#include "scripted.h"
#include "settings/game_settings.h"
#include "sound/sound.h"
#include "support/test_archive.h"
#include "support/test_module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int rate = 44100;
constexpr size_t frames_in(size_t ms) {
    return ms * rate / 1000;
}

std::vector<int16_t> heard; // interleaved stereo

size_t heard_frames() {
    return heard.size() / 2;
}
int level(size_t frame) {
    return std::abs(int{heard[frame * 2]});
}
// The first and the last frame louder than quiet; the first is heard_frames() when none is.
std::pair<size_t, size_t> loud_span(int quiet = 64) {
    std::pair<size_t, size_t> span{heard_frames(), 0};
    for (size_t i = 0; i < heard_frames(); ++i) {
        if (level(i) > quiet) {
            span = {std::min(span.first, i), i};
        }
    }
    return span;
}

// Entries 0 to 5 as the game reads them: two texts, the module, three effects.
std::vector<TestEntry> sound_entries(std::vector<uint8_t> module,
                                     std::vector<std::vector<uint8_t>> effects) {
    std::vector<TestEntry> entries(6);
    entries[0] = test_entry(test_text_entry("file id\n"));
    entries[1] = test_entry(test_text_entry("readme\n"));
    entries[2] = test_entry(std::move(module));
    for (size_t i = 0; i < effects.size() && i < 3; ++i) {
        entries[3 + i] = test_entry(std::move(effects[i]));
    }
    return entries;
}

class Sound : public ::testing::Test {
  protected:
    void SetUp() override {
        ScriptedSetup setup;
        setup.sinks.audio = [](void*, const int16_t* frames, int count) {
            heard.insert(heard.end(), frames, frames + 2 * count);
        };
        scripted_start(setup);
        game_settings_reset();
        sound_clear_samples();
    }
    void TearDown() override {
        sound_stop();
        archive_close();
        scripted_stop();
        heard.clear();
    }
    static void open_archive(std::vector<uint8_t> module,
                             std::vector<std::vector<uint8_t>> effects) {
        ASSERT_TRUE(test_archive_open(sound_entries(std::move(module), std::move(effects))));
    }
};

TEST_F(Sound, MusicIsHeardAtOnceAndLoopsWithoutAGap) {
    const TestModuleShape shape{.rows = 2, .speed = 3}; // 120 ms per pass
    open_archive(test_module_make(shape), {});
    sound_start();
    ASSERT_TRUE(scripted_audio_is_open());
    EXPECT_EQ(archive_entry_record(sound_music_entry)->data, nullptr)
        << "the module was released as soon as the layer had it";

    clock_sleep(1500); // virtual time, the device rendering all the while
    ASSERT_EQ(heard_frames(), 66150u);
    const size_t start = loud_span().first;
    EXPECT_LT(start, frames_in(200)) << "music within 200 ms of the start";
    for (size_t at = start; at + frames_in(10) < heard_frames(); at += frames_in(10)) {
        ASSERT_GT(test_peak(heard, at, at + frames_in(10)), 1000) << "silence at frame " << at;
    }
}

// Over a silent module, and with the music switched off, where the module would be heard: 4410
// bytes at 20000 Hz.
TEST_F(Sound, EffectLastsItsLengthOverItsFrequency) {
    for (int32_t music_off : {0, 1}) {
        SCOPED_TRACE(music_off ? "music off" : "silent music");
        game_settings.music_disabled = music_off;
        open_archive(music_off ? test_module_make() : test_module_make({.volume = 0}),
                     {std::vector<uint8_t>(4410, 192)});
        heard.clear();
        sound_clear_samples();
        sound_start();
        clock_sleep(50);
        sound_play_effect(0, 20000);
        clock_sleep(600);
        sound_stop();
        const auto [first, last] = loud_span(music_off ? 0 : 64);
        ASSERT_EQ(first, 2205u) << "from the moment it was asked for: 50 ms in";
        EXPECT_NEAR(double(last + 1 - first), 9724.05, 2);
        EXPECT_NEAR(level(first + 100), 8224, 2);
        EXPECT_EQ(heard[(first + 100) * 2], heard[(first + 100) * 2 + 1]);
    }
}

using SoundFailure = Sound;

TEST_F(SoundFailure, MusicOrEffectThatCannotBeMadeEndsTheGame) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char words[] = "these words are no module at all";
    for (const auto& entries :
         {sound_entries({words, words + sizeof words}, {}), std::vector<TestEntry>(2)}) {
        ASSERT_TRUE(test_archive_open(entries));
        EXPECT_EXIT(sound_start(), testing::ExitedWithCode(1),
                    "Zorbit: cannot load the music \\(archive entry 2\\): [a-z].*\n");
    }
    // The collision effect is empty; the bounce is fine.
    open_archive(test_module_make(), {std::vector<uint8_t>(100, 200), {}});
    sound_start();
    sound_play_effect(0, 20000);
    EXPECT_EXIT(sound_play_effect(1, 24000), testing::ExitedWithCode(1),
                "Zorbit: cannot make the sound effect of archive entry 4\n");
}

} // namespace
