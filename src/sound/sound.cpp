#include "sound/sound.h"

#include "platform/audio.h"
#include "platform/system.h"
#include "resources/archive.h"
#include "settings/game_settings.h"

Sound sound;

namespace {

bool sound_off() {
    return game_settings.sound_disabled || sound.sound_silenced;
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
        fatal_error(1, "cannot load the music (archive entry %d): %s", sound_music_entry, failure);
    }
    audio_music_play();
}

} // namespace

void sound_clear_samples() {
    for (AudioSample*& sample : sound.effect_samples) {
        sample = nullptr;
    }
}

void sound_start() {
    if (game_settings.sound_disabled) {
        return;
    }
    sound.sound_silenced = false;
    if (const char* reason = audio_open()) {
        warning("no sound: %s", reason);
        sound.sound_silenced = true;
        return;
    }
    if (!game_settings.music_disabled) {
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
    if (!sound.effect_samples[effect]) {
        sound.effect_samples[effect] = sound_load_sample(effect_entries[effect]);
    }
    audio_sample_play(sound.effect_samples[effect], frequency);
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
        fatal_error(1, "cannot make the sound effect of archive entry %d", index);
    }
    return sample;
}
