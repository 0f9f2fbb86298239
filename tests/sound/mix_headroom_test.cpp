// Headroom and the closing fade, mixed with the device closed: the numbers a listener hears.
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

size_t rail_count(const std::vector<int16_t>& frames) {
    return std::count_if(frames.begin(), frames.end(),
                         [](int16_t s) { return s == 32767 || s == -32768; });
}

void play(uint8_t byte, int voices, size_t length = 4000) {
    const std::vector<uint8_t> pcm(length, byte);
    AudioSample* sample = audio_sample_make(pcm.data(), pcm.size());
    for (int i = 0; i < voices; ++i) {
        ASSERT_TRUE(audio_sample_play(sample, audio_rate));
    }
}

class MixHeadroom : public ::testing::Test {
  protected:
    void TearDown() override { audio_close(); }
};

// A voice of byte 255 sounds at 16319, of byte 0 at -16448. Sums up to 24576 pass unchanged;
// beyond, 24576 + 8191 x over / (over + 8191): two at 255 sum to 32638, 8062 over, heard at
// 24576 + 4062 = 28638.
TEST_F(MixHeadroom, LoudSumsBendBelowFullScale) {
    const struct {
        uint8_t byte;
        int voices;
        int16_t heard;
    } rows[] = {{255, 1, 16319},  {255, 2, 28638}, {255, 4, 31394},
                {255, 32, 32634}, {0, 2, -28703},  {0, 32, -32635}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.voices << " voices of " << int(row.byte));
        play(row.byte, row.voices);
        const std::vector<int16_t> frames = mix_frames(500);
        EXPECT_EQ(frames[400], row.heard);
        EXPECT_EQ(frames[401], row.heard);
        audio_voices_stop();
    }
}

TEST_F(MixHeadroom, LoudMusicWithEffectsNeverReachesTheRail) {
    const std::vector<uint8_t> module = test_module_make({.voices = 4});
    ASSERT_EQ(audio_music_load(module.data(), module.size()), nullptr);
    audio_music_play();
    const std::vector<uint8_t> wave = {255, 255, 255, 255, 0, 0, 0, 0}; // both rails, in turn
    std::vector<uint8_t> pcm;
    for (int i = 0; i < 500; ++i) {
        pcm.insert(pcm.end(), wave.begin(), wave.end());
    }
    AudioSample* sample = audio_sample_make(pcm.data(), pcm.size());
    for (int i = 0; i < 3; ++i) {
        audio_sample_play(sample, audio_rate);
    }
    const std::vector<int16_t> frames = mix_frames(3000);
    EXPECT_GT(test_peak(frames), 30000) << "driven well past full scale";
    EXPECT_EQ(rail_count(frames), 0u);

    audio_fade_start();
    const std::vector<int16_t> faded = mix_frames(2000);
    EXPECT_EQ(test_peak(faded, 1323), 0) << "silent 30 ms into the fade, music and voices on";
}

// One voice at 16319; 30 ms is 1323 frames, frame k of them at 16319 x (1323 - k) / 1323.
TEST_F(MixHeadroom, FadeRampsToSilenceIn30Milliseconds) {
    play(255, 1, 8000);
    mix_frames(100);
    audio_fade_start();
    const std::vector<int16_t> ramp = mix_frames(1323);
    const struct {
        int frame;
        int16_t heard;
    } rows[] = {{0, 16319}, {441, 10879}, {882, 5439}, {1322, 12}};
    for (const auto& row : rows) {
        EXPECT_EQ(ramp[row.frame * 2], row.heard) << "frame " << row.frame;
    }
    int step = 0;
    for (size_t i = 2; i < ramp.size(); i += 2) {
        step = std::max(step, std::abs(ramp[i] - ramp[i - 2]));
    }
    EXPECT_LE(step, 13) << "no frame drops by more than 16319 / 1323";
    EXPECT_FALSE(audio_fade_done()) << "the device has not yet asked past the ramp";

    const std::vector<int16_t> after = mix_frames(audio_buffer_frames);
    EXPECT_EQ(test_peak(after), 0);
    EXPECT_TRUE(audio_fade_done());

    audio_close();
    play(255, 1);
    EXPECT_EQ(mix_frames(10)[0], 16319) << "closing ends the fade";
}

} // namespace
