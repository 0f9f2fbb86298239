#include "sound/sound.h"

#include <cstdio>

#include "app/game_settings.h"
#include "app/utility.h"
#include "platform/audio.h"
#include "resources/archive.h"

namespace {

// The mixer thread must be gone before exit tears down what it reads.
[[noreturn]] void sound_fail() {
    audio_close();
    fatal_exit(1);
}

AudioSample* effect_samples[sound_effect_count] = {};
// Sound is on but no device could be opened: play on in silence, as if it were disabled.
bool sound_silenced = false;

bool sound_off() {
    return sound_disabled || sound_silenced;
}

// The module is loaded once and owned by the audio layer; the archive's copy goes at once.
void music_start() {
    const int32_t size = archive_entry_size(sound_music_entry);
    const uint8_t* data = archive_load_entry(sound_music_entry);
    const char* failure = "the entry is missing or empty";
    if (data && size > 0) {
        failure = audio_music_load(data, static_cast<size_t>(size));
    }
    archive_release_entry(sound_music_entry);
    if (failure) {
        std::fprintf(stderr, "Zorbit: cannot load the music (archive entry %d): %s\n",
                     sound_music_entry, failure);
        sound_fail();
    }
    audio_music_play();
}

} // namespace

void sound_clear_samples() {
    for (AudioSample*& sample : effect_samples) {
        sample = nullptr;
    }
}

void sound_start() {
    if (sound_disabled) {
        return;
    }
    sound_silenced = false;
    if (const char* reason = audio_open()) {
        std::fprintf(stderr, "Zorbit: no sound: %s\n", reason);
        sound_silenced = true;
        return;
    }
    if (!music_disabled) {
        music_start();
    }
}

void sound_stop() {
    if (sound_off()) {
        return;
    }
    audio_close();
    // The layer freed the samples with the device.
    sound_clear_samples();
}

void sound_play_effect(int32_t effect, int32_t frequency) {
    if (sound_off() || effect < 0 || effect >= sound_effect_count) {
        return;
    }
    if (!effect_samples[effect]) {
        effect_samples[effect] = sound_load_sample(effect_entries[effect]);
    }
    audio_sample_play(effect_samples[effect], frequency);
}

AudioSample* sound_load_sample(int32_t index) {
    // The entry stays loaded for the life of the archive.
    const int32_t size = archive_entry_size(index);
    const uint8_t* data = archive_load_entry(index);
    AudioSample* sample = nullptr;
    if (data && size > 0) {
        sample = audio_sample_make(data, static_cast<size_t>(size));
    }
    if (!sample) {
        std::fprintf(stderr, "Zorbit: cannot make the sound effect of archive entry %d\n", index);
        sound_fail();
    }
    return sample;
}
