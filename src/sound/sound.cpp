// Silent until the audio layer lands.
#include "sound/sound.h"

void sound_clear_samples() {}
void sound_start() {}
void sound_stop() {}
void sound_play_effect(int32_t, int32_t) {}
AudioSample* sound_load_sample(int32_t) {
    return nullptr;
}
