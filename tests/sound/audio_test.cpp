// The mixer, driven directly with the device closed: exact levels, lengths and limits, headroom
// and the closing fade, the numbers a listener hears.
#include "platform/audio.h"
#include "support/test_module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

std::vector<int16_t> mix_frames(int frame_count) {
    std::vector<int16_t> frames(static_cast<size_t>(frame_count) * audio_channels);
    audio_mix(frames.data(), frame_count);
    return frames;
}

int loud_frames(const std::vector<int16_t>& frames, int threshold = 1) {
    int count = 0;
    for (size_t i = 0; i < frames.size(); i += 2) {
        count += std::abs(frames[i]) >= threshold;
    }
    return count;
}

class AudioMixer : public ::testing::Test {
  protected:
    void TearDown() override { audio_close(); }
};

TEST_F(AudioMixer, ResamplesWithLinearInterpolation) {
    const uint8_t pcm[] = {128, 228, 128};
    AudioSample* sample = audio_sample_make(pcm, sizeof pcm);
    ASSERT_TRUE(audio_sample_play(sample, audio_rate / 4)); // four device frames per byte
    const std::vector<int16_t> frames = mix_frames(16);
    const int32_t top = test_effect_level(228);
    const std::vector<int32_t> expected = {0,       top / 4, top / 2, top * 3 / 4, top, top * 3 / 4,
                                           top / 2, top / 4, 0};
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(frames[i * 2], expected[i], 2) << "frame " << i;
    }
    EXPECT_EQ(loud_frames(frames), 7) << "the last byte (silence) is held for one step, then ends";
}

TEST_F(AudioMixer, ThirtyTwoVoicesAndNoMore) {
    const std::vector<uint8_t> pcm(2000, 129);
    AudioSample* sample = audio_sample_make(pcm.data(), pcm.size());
    int started = 0;
    for (int i = 0; i < 40; ++i) {
        started += audio_sample_play(sample, audio_rate);
    }
    EXPECT_EQ(started, 32);
    const std::vector<int16_t> frames = mix_frames(100);
    EXPECT_EQ(frames[0], 32 * test_effect_level(129))
        << "a play without a free voice takes none from the others";

    mix_frames(2000);
    EXPECT_EQ(audio_voices_busy(), 0);
    EXPECT_TRUE(audio_sample_play(sample, audio_rate)) << "finished voices are free again";
}

// A huge frequency plays one frame and never reads past the sample.
TEST_F(AudioMixer, RefusesWhatCannotPlayAndBoundsHugeFrequencies) {
    const uint8_t pcm[] = {255, 255};
    EXPECT_EQ(audio_sample_make(pcm, 0), nullptr);
    EXPECT_EQ(audio_sample_make(nullptr, 10), nullptr);
    AudioSample* sample = audio_sample_make(pcm, sizeof pcm);
    EXPECT_FALSE(audio_sample_play(sample, 0));
    EXPECT_FALSE(audio_sample_play(nullptr, 20000));
    EXPECT_EQ(test_peak(mix_frames(100)), 0);
    ASSERT_TRUE(audio_sample_play(sample, INT32_MAX));
    EXPECT_EQ(loud_frames(mix_frames(10)), 1);
    EXPECT_EQ(audio_voices_busy(), 0);
}

TEST_F(AudioMixer, RejectedModuleLeavesThePlayingOneAloneAndClosingFreesAll) {
    const std::vector<uint8_t> module = test_module_make();
    ASSERT_EQ(audio_music_load(module.data(), module.size()), nullptr);
    audio_music_play();
    const char text[] = "this is not a module, just words";
    const char* reason = audio_music_load(reinterpret_cast<const uint8_t*>(text), sizeof text);
    EXPECT_NE(reason, nullptr);
    EXPECT_NE(audio_music_load(nullptr, 0), nullptr);
    EXPECT_GT(test_peak(mix_frames(500)), 1000);

    const std::vector<uint8_t> pcm(10000, 60);
    audio_sample_play(audio_sample_make(pcm.data(), pcm.size()), 8000);
    audio_close();
    audio_music_play();
    EXPECT_EQ(audio_voices_busy(), 0);
    EXPECT_EQ(test_peak(mix_frames(500)), 0);
}

void play(uint8_t byte, int voices, size_t length = 4000) {
    const std::vector<uint8_t> pcm(length, byte);
    AudioSample* sample = audio_sample_make(pcm.data(), pcm.size());
    for (int i = 0; i < voices; ++i) {
        ASSERT_TRUE(audio_sample_play(sample, audio_rate));
    }
}

using MixHeadroom = AudioMixer;

// A voice of byte 255 sounds at 16319, of byte 0 at -16448. Sums up to 24576 pass unchanged;
// beyond, 24576 + 8191 x over / (over + 8191): two at 255 sum to 32638, 8062 over, heard at
// 24576 + 4062 = 28638.
TEST_F(MixHeadroom, LoudSumsBendBelowFullScale) {
    // Byte, voices, heard.
    const int rows[][3] = {{255, 1, 16319},  {255, 2, 28638}, {255, 4, 31394},
                           {255, 32, 32634}, {0, 2, -28703},  {0, 32, -32635}};
    for (const auto& [byte, voices, heard] : rows) {
        SCOPED_TRACE(testing::Message() << voices << " voices of " << byte);
        play(uint8_t(byte), voices);
        const std::vector<int16_t> frames = mix_frames(500);
        EXPECT_EQ(frames[400], heard);
        EXPECT_EQ(frames[401], heard);
        audio_voices_stop();
    }
}

TEST_F(MixHeadroom, LoudMusicWithEffectsNeverReachesTheRail) {
    const std::vector<uint8_t> module = test_module_make({.voices = 4});
    ASSERT_EQ(audio_music_load(module.data(), module.size()), nullptr);
    audio_music_play();
    std::vector<uint8_t> pcm(4000, 255); // both rails, in turn
    for (size_t i = 4; i < pcm.size(); i += 8) {
        std::fill_n(&pcm[i], 4, 0);
    }
    AudioSample* sample = audio_sample_make(pcm.data(), pcm.size());
    for (int i = 0; i < 3; ++i) {
        audio_sample_play(sample, audio_rate);
    }
    const std::vector<int16_t> frames = mix_frames(3000);
    EXPECT_GT(test_peak(frames), 30000) << "driven well past full scale";
    EXPECT_EQ(std::count(frames.begin(), frames.end(), 32767), 0);
    EXPECT_EQ(std::count(frames.begin(), frames.end(), -32768), 0);

    audio_fade_start();
    EXPECT_EQ(test_peak(mix_frames(2000), 1323), 0)
        << "silent 30 ms into the fade, music and voices on";
}

// One voice at 16319; 30 ms is 1323 frames, frame k of them at 16319 x (1323 - k) / 1323.
TEST_F(MixHeadroom, FadeRampsToSilenceIn30Milliseconds) {
    play(255, 1, 8000);
    mix_frames(100);
    audio_fade_start();
    const std::vector<int16_t> ramp = mix_frames(1323);
    for (const auto& [frame, heard] :
         {std::pair{0, 16319}, {441, 10879}, {882, 5439}, {1322, 12}}) {
        EXPECT_EQ(ramp[frame * 2], heard) << "frame " << frame;
    }
    int step = 0;
    for (size_t i = 2; i < ramp.size(); i += 2) {
        step = std::max(step, std::abs(ramp[i] - ramp[i - 2]));
    }
    EXPECT_LE(step, 13) << "no frame drops by more than 16319 / 1323";
    EXPECT_FALSE(audio_fade_done()) << "the device has not yet asked past the ramp";

    EXPECT_EQ(test_peak(mix_frames(audio_buffer_frames)), 0);
    EXPECT_TRUE(audio_fade_done());

    audio_close();
    play(255, 1);
    EXPECT_EQ(mix_frames(10)[0], 16319) << "closing ends the fade";
}

} // namespace
