#pragma once
// Music and the three effects.
#include <cstdint>

struct AudioSample;

constexpr int32_t sound_music_entry = 2;
constexpr int32_t sound_effect_count = 3;
// Archive entry of each effect: bounce, collision, title.
constexpr int32_t effect_entries[sound_effect_count] = {3, 4, 5};

struct Sound {
    AudioSample* effect_samples[sound_effect_count] = {};
    // Sound is on but no device could be opened: play on in silence, as if it were disabled.
    bool sound_silenced = false;
};

extern Sound sound;

void sound_clear_samples();
void sound_start();
void sound_stop();
void sound_play_effect(int32_t effect, int32_t frequency);
AudioSample* sound_load_sample(int32_t index);
