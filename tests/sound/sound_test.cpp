// The sound operations on a real device: SDL's disk driver writes every buffer it is handed to a
// file, which the tests read back.
#include "app/game_settings.h"
#include "platform/audio.h"
#include "resources/archive.h"
#include "sound/sound.h"
#include "support/test_archive.h"
#include "support/test_module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

namespace {

constexpr int ms_frames = audio_rate / 1000;

struct Capture {
    std::vector<int16_t> samples; // interleaved stereo

    size_t frames() const { return samples.size() / 2; }
    int level(size_t frame) const { return std::abs(static_cast<int>(samples[frame * 2])); }
    // First frame louder than the threshold; frames() when none.
    size_t first_loud(int threshold = 64) const {
        for (size_t i = 0; i < frames(); ++i) {
            if (level(i) > threshold) {
                return i;
            }
        }
        return frames();
    }
    size_t last_loud(int threshold = 64) const {
        for (size_t i = frames(); i > 0; --i) {
            if (level(i - 1) > threshold) {
                return i - 1;
            }
        }
        return 0;
    }
    int peak(size_t first, size_t last) const { return test_peak(samples, first, last); }
};

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

std::vector<std::vector<uint8_t>> constant_effects(size_t length, uint8_t value) {
    return {std::vector<uint8_t>(length, value), std::vector<uint8_t>(length, value),
            std::vector<uint8_t>(length, value)};
}

class SoundDevice : public ::testing::Test {
  protected:
    void SetUp() override {
        output = test_temp_path("audio.raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY"); // paced in real time, as a sound card is
        sound_disabled = 0;
        music_disabled = 0;
        sound_clear_samples();
    }

    void TearDown() override {
        sound_stop();
        archive_close();
        std::filesystem::remove(output);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        sound_disabled = 0;
        music_disabled = 0;
    }

    void open_archive(std::vector<uint8_t> module, std::vector<std::vector<uint8_t>> effects) {
        ASSERT_TRUE(test_archive_open(sound_entries(std::move(module), std::move(effects))));
    }

    // Waits until the device has been handed at least this many frames, then stops the sound
    // so that the file is complete.
    Capture record(size_t frame_count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::error_code error;
        while (std::filesystem::file_size(output, error) < frame_count * 4 + 8192 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        sound_stop();
        const std::vector<uint8_t> bytes = test_read_file(output);
        Capture capture;
        capture.samples.resize(bytes.size() / 2);
        std::memcpy(capture.samples.data(), bytes.data(), capture.samples.size() * 2);
        EXPECT_GE(capture.frames(), frame_count) << "the device fell silent";
        return capture;
    }

    std::string output;
};

TEST_F(SoundDevice, MusicIsHeardAtOnceAndLoopsWithoutAGap) {
    const TestModuleShape shape{.rows = 2, .speed = 3}; // 120 ms per pass
    open_archive(test_module_make(shape), constant_effects(100, 200));
    sound_start();
    ASSERT_TRUE(audio_is_open());
    EXPECT_EQ(archive_entry_record(sound_music_entry)->data, nullptr)
        << "the module was released as soon as the layer had it";

    const Capture capture = record(audio_rate * 3 / 2);
    const size_t start = capture.first_loud();
    EXPECT_LT(start, 200u * ms_frames) << "music within 200 ms of the start";
    const size_t end = capture.frames() - 2048; // the last buffer may be cut short by the stop
    ASSERT_GT(end, start + 10 * test_module_seconds(shape) * audio_rate);
    for (size_t at = start; at + 10 * ms_frames < end; at += 10 * ms_frames) {
        ASSERT_GT(capture.peak(at, at + 10 * ms_frames), 1000)
            << "silence at " << at / ms_frames << " ms";
    }
}

// Over a silent module, and with the music switched off, where the module would be heard.
TEST_F(SoundDevice, EffectLastsItsLengthOverItsFrequency) {
    const struct {
        int32_t effect;
        int32_t frequency;
        size_t length;
        uint8_t value;
        int32_t music_off;
    } plays[] = {{0, 20000, 4410, 192, 0}, {2, 3000, 600, 60, 0}, {0, 20000, 4410, 192, 1}};
    for (const auto& play : plays) {
        SCOPED_TRACE(testing::Message() << play.effect << (play.music_off ? ", music off" : ""));
        music_disabled = play.music_off;
        open_archive(play.music_off ? test_module_make() : test_module_make({.volume = 0}),
                     {std::vector<uint8_t>(4410, 192), std::vector<uint8_t>(100, 100),
                      std::vector<uint8_t>(600, 60)});
        sound_clear_samples();
        sound_start();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        sound_play_effect(play.effect, play.frequency);
        const double seconds = double(play.length) / play.frequency;
        const Capture capture = record(size_t((seconds + 0.3) * audio_rate));
        const int quiet = play.music_off ? 0 : 64;
        const size_t first = capture.first_loud(quiet);
        ASSERT_LT(first, capture.frames());
        EXPECT_GT(first, size_t(audio_buffer_frames)) << "nothing before the effect";
        EXPECT_NEAR(double(capture.last_loud(quiet) + 1 - first), seconds * audio_rate,
                    audio_buffer_frames);
        EXPECT_NEAR(capture.level(first + 100), std::abs(test_effect_level(play.value)), 2);
        EXPECT_EQ(capture.samples[(first + 100) * 2], capture.samples[(first + 100) * 2 + 1]);
        archive_close();
    }
}

TEST_F(SoundDevice, TwoQuickPlaysOfOneEffectSoundTogether) {
    open_archive(test_module_make({.volume = 0}), constant_effects(2400, 176));
    sound_start();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    sound_play_effect(1, 24000);
    sound_play_effect(1, 24000);
    const Capture capture = record(audio_rate / 2);
    const size_t first = capture.first_loud();
    ASSERT_LT(first, capture.frames());
    EXPECT_NEAR(capture.peak(first, capture.frames()), 2 * test_effect_level(176), 4);
    EXPECT_NEAR(double(capture.last_loud() + 1 - first), 0.1 * audio_rate, audio_buffer_frames)
        << "side by side, not one after the other";
}

TEST_F(SoundDevice, DeviceBuffersStayShort) {
    static std::atomic<int> largest{0};
    audio_set_tap(
        [](const int16_t*, int frame_count) { largest = std::max(largest.load(), frame_count); });
    open_archive(test_module_make(), constant_effects(100, 200));
    sound_start();
    record(audio_rate / 4);
    audio_set_tap(nullptr);
    EXPECT_GT(largest.load(), 0);
    EXPECT_LE(largest.load(), audio_buffer_frames);
}

TEST_F(SoundDevice, SoundSwitchedOffTouchesNeitherDeviceNorArchive) {
    sound_disabled = 1;
    open_archive(test_module_make(), constant_effects(100, 200));
    sound_start();
    for (int32_t effect = 0; effect < sound_effect_count; ++effect) {
        sound_play_effect(effect, 20000);
    }
    sound_stop();
    EXPECT_FALSE(audio_is_open());
    EXPECT_FALSE(std::filesystem::exists(output)) << "the disk device was never opened";
    for (int32_t entry = 2; entry <= 5; ++entry) {
        EXPECT_EQ(archive_entry_record(entry)->data, nullptr) << "entry " << entry;
        EXPECT_EQ(archive_entry_record(entry)->ref_count, 0) << "entry " << entry;
    }
}

class SoundFailure : public SoundDevice {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        SoundDevice::SetUp();
        // The dying child never reaches TearDown, so it must not leave a capture file behind.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
};

TEST_F(SoundFailure, ModuleTheLoaderRefusesOrMissingEndsTheGame) {
    const char words[] = "these words are no module at all";
    const std::vector<TestEntry> archives[] = {
        sound_entries(std::vector<uint8_t>(words, words + sizeof words), {}),
        std::vector<TestEntry>(2)};
    for (const std::vector<TestEntry>& entries : archives) {
        archive_close();
        ASSERT_TRUE(test_archive_open(entries));
        EXPECT_EXIT(sound_start(), testing::ExitedWithCode(1),
                    "Zorbit: cannot load the music \\(archive entry 2\\): [a-z].*\n");
    }
}

TEST_F(SoundFailure, EffectThatCannotBeMadeEndsTheGame) {
    std::vector<TestEntry> entries = sound_entries(test_module_make(), constant_effects(100, 200));
    entries[4] = test_entry({}); // empty collision effect
    entries.resize(5);           // no title effect at all
    ASSERT_TRUE(test_archive_open(entries));
    sound_start();
    sound_play_effect(0, 20000); // the bounce is fine
    EXPECT_EXIT(sound_play_effect(1, 24000), testing::ExitedWithCode(1),
                "Zorbit: cannot make the sound effect of archive entry 4\n");
    EXPECT_EXIT(sound_play_effect(2, 3000), testing::ExitedWithCode(1),
                "Zorbit: cannot make the sound effect of archive entry 5\n");
}

} // namespace
