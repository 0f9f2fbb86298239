#pragma once
// Music and the three effects.
#include <cstdint>

struct AudioSample;

void sound_clear_samples();
void sound_start();
void sound_stop();
void sound_play_effect(int32_t effect, int32_t frequency);
AudioSample* sound_load_sample(int32_t index);
