// The mixer, driven directly with the device closed: exact levels, lengths and limits.
#include "platform/audio.h"
#include "support/test_module.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
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
    EXPECT_EQ(started, audio_voice_count);
    EXPECT_EQ(audio_voices_busy(), audio_voice_count);
    const std::vector<int16_t> frames = mix_frames(100);
    EXPECT_EQ(frames[0], audio_voice_count * test_effect_level(129))
        << "a play without a free voice takes none from the others";

    mix_frames(2000);
    EXPECT_EQ(audio_voices_busy(), 0);
    EXPECT_TRUE(audio_sample_play(sample, audio_rate)) << "finished voices are free again";
}

TEST_F(AudioMixer, RefusesWhatCannotPlay) {
    const uint8_t pcm[] = {200, 200};
    EXPECT_EQ(audio_sample_make(pcm, 0), nullptr);
    EXPECT_EQ(audio_sample_make(nullptr, 10), nullptr);
    AudioSample* sample = audio_sample_make(pcm, sizeof pcm);
    for (int32_t frequency : {0, -20000}) {
        EXPECT_FALSE(audio_sample_play(sample, frequency));
    }
    EXPECT_FALSE(audio_sample_play(nullptr, 20000));
    EXPECT_EQ(test_peak(mix_frames(100)), 0);
}

TEST_F(AudioMixer, HugeFrequencyPlaysBrieflyWithoutReadingPastTheSample) {
    const std::vector<uint8_t> pcm(5, 255);
    AudioSample* sample = audio_sample_make(pcm.data(), pcm.size());
    ASSERT_TRUE(audio_sample_play(sample, INT32_MAX));
    EXPECT_EQ(loud_frames(mix_frames(10)), 1);
    EXPECT_EQ(audio_voices_busy(), 0);
}

TEST_F(AudioMixer, EffectsAddToTheMusic) {
    const std::vector<uint8_t> silent_module = test_module_make({.volume = 0});
    ASSERT_EQ(audio_music_load(silent_module.data(), silent_module.size()), nullptr);
    audio_music_play();
    const std::vector<int16_t> music_alone = mix_frames(2000);
    EXPECT_LE(test_peak(music_alone), 2) << "a silent module stays (almost) silent";
    const std::vector<uint8_t> pcm(500, 160);
    audio_sample_play(audio_sample_make(pcm.data(), pcm.size()), audio_rate);
    const std::vector<int16_t> frames = mix_frames(1000);
    EXPECT_NEAR(frames[200], test_effect_level(160), 2);
    EXPECT_LE(test_peak(frames, 600), 2);
}

TEST_F(AudioMixer, RejectedModuleLeavesThePlayingOneAloneAndClosingFreesAll) {
    const std::vector<uint8_t> module = test_module_make();
    ASSERT_EQ(audio_music_load(module.data(), module.size()), nullptr);
    audio_music_play();
    const char text[] = "this is not a module, just words";
    const char* reason = audio_music_load(reinterpret_cast<const uint8_t*>(text), sizeof text);
    ASSERT_NE(reason, nullptr);
    EXPECT_GT(std::string(reason).size(), 0u);
    EXPECT_NE(audio_music_load(nullptr, 0), nullptr);
    EXPECT_GT(test_peak(mix_frames(500)), 1000);

    const std::vector<uint8_t> pcm(10000, 60);
    audio_sample_play(audio_sample_make(pcm.data(), pcm.size()), 8000);
    audio_close();
    audio_music_play();
    EXPECT_EQ(audio_voices_busy(), 0);
    EXPECT_EQ(test_peak(mix_frames(500)), 0);
}

} // namespace
