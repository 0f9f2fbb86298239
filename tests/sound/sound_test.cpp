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
        game_settings_reset();
        heard.clear();
    }
    static void open_archive(std::vector<uint8_t> module,
                             std::vector<std::vector<uint8_t>> effects) {
        archive_close();
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
    ASSERT_GT(heard_frames(), start + 10 * test_module_seconds(shape) * rate);
    for (size_t at = start; at + frames_in(10) < heard_frames(); at += frames_in(10)) {
        ASSERT_GT(test_peak(heard, at, at + frames_in(10)), 1000) << "silence at frame " << at;
    }
}

// Over a silent module, and with the music switched off, where the module would be heard.
TEST_F(Sound, EffectLastsItsLengthOverItsFrequency) {
    const struct {
        int32_t effect;
        int32_t frequency;
        size_t length;
        uint8_t value;
        int32_t music_off;
    } plays[] = {{0, 20000, 4410, 192, 0}, {2, 3000, 600, 60, 0}, {0, 20000, 4410, 192, 1}};
    for (const auto& play : plays) {
        SCOPED_TRACE(testing::Message() << play.effect << (play.music_off ? ", music off" : ""));
        game_settings.music_disabled = play.music_off;
        open_archive(play.music_off ? test_module_make() : test_module_make({.volume = 0}),
                     {std::vector<uint8_t>(4410, 192), std::vector<uint8_t>(100, 100),
                      std::vector<uint8_t>(600, 60)});
        heard.clear();
        sound_clear_samples();
        sound_start();
        clock_sleep(50);
        sound_play_effect(play.effect, play.frequency);
        const double seconds = double(play.length) / play.frequency;
        clock_sleep(static_cast<uint32_t>((seconds + 0.3) * 1000));
        sound_stop();
        const auto [first, last] = loud_span(play.music_off ? 0 : 64);
        ASSERT_EQ(first, 2205u) << "from the moment it was asked for: 50 ms in";
        EXPECT_NEAR(double(last + 1 - first), seconds * rate, 2);
        EXPECT_NEAR(level(first + 100), std::abs(test_effect_level(play.value)), 2);
        EXPECT_EQ(heard[(first + 100) * 2], heard[(first + 100) * 2 + 1]);
    }
}

TEST_F(Sound, SoundSwitchedOffTouchesNeitherDeviceNorArchive) {
    game_settings.sound_disabled = 1;
    const std::vector<uint8_t> effect(100, 200);
    open_archive(test_module_make(), {effect, effect, effect});
    sound_start();
    for (int32_t effect = 0; effect < sound_effect_count; ++effect) {
        sound_play_effect(effect, 20000);
    }
    clock_sleep(100);
    sound_stop();
    EXPECT_FALSE(scripted_audio_is_open());
    EXPECT_TRUE(heard.empty()) << "the device was never opened";
    for (int32_t entry = 2; entry <= 5; ++entry) {
        EXPECT_EQ(archive_entry_record(entry)->data, nullptr) << "entry " << entry;
        EXPECT_EQ(archive_entry_record(entry)->ref_count, 0) << "entry " << entry;
    }
}

using SoundFailure = Sound;

TEST_F(SoundFailure, MusicOrEffectThatCannotBeMadeEndsTheGame) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char words[] = "these words are no module at all";
    for (const auto& entries :
         {sound_entries({words, words + sizeof words}, {}), std::vector<TestEntry>(2)}) {
        archive_close();
        ASSERT_TRUE(test_archive_open(entries));
        EXPECT_EXIT(sound_start(), testing::ExitedWithCode(1),
                    "Zorbit: cannot load the music \\(archive entry 2\\): [a-z].*\n");
    }
    // The collision effect is empty, the title effect missing; the bounce is fine.
    auto entries = sound_entries(test_module_make(), {std::vector<uint8_t>(100, 200), {}});
    entries.resize(5);
    archive_close();
    ASSERT_TRUE(test_archive_open(entries));
    sound_start();
    sound_play_effect(0, 20000);
    EXPECT_EXIT(sound_play_effect(1, 24000), testing::ExitedWithCode(1),
                "Zorbit: cannot make the sound effect of archive entry 4\n");
    EXPECT_EXIT(sound_play_effect(2, 3000), testing::ExitedWithCode(1),
                "Zorbit: cannot make the sound effect of archive entry 5\n");
}

} // namespace
