#include "platform/audio.h"

#include "platform/platform.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

struct AudioSample {
    std::vector<uint8_t> pcm;
};

namespace {

struct AudioVoice {
    const AudioSample* sample = nullptr; // null: free
    uint64_t position = 0;               // source frames, 32.32 fixed point
    uint64_t step = 0;                   // source frames per device frame, 32.32
};

bool device_open = false;
std::string music_error;

// Shared with the audio thread: changed only under the audio lock while the device runs.
openmpt_module* music = nullptr;
bool music_playing = false;
std::array<AudioVoice, audio_voice_count> voices;

std::vector<std::unique_ptr<AudioSample>> samples;

void audio_lock() {
    if (device_open) {
        audio_device_lock();
    }
}

void audio_unlock() {
    if (device_open) {
        audio_device_unlock();
    }
}

void music_render(int32_t* mix, int frame_count) {
    std::array<int16_t, audio_buffer_frames * audio_channels> rendered{};
    size_t done = 0;
    if (music && music_playing) {
        done =
            openmpt_module_read_interleaved_stereo(music, audio_rate, frame_count, rendered.data());
    }
    for (size_t i = 0; i < done * audio_channels; ++i) {
        mix[i] = rendered[i];
    }
    std::fill(mix + done * audio_channels, mix + frame_count * audio_channels, 0);
}

// One voice added into the mix, linearly interpolated from its own rate to the device's.
void voice_render(AudioVoice& voice, int32_t* mix, int frame_count) {
    const std::vector<uint8_t>& pcm = voice.sample->pcm;
    const size_t length = pcm.size();
    for (int frame = 0; frame < frame_count; ++frame) {
        const size_t index = voice.position >> 32;
        if (index >= length) {
            voice.sample = nullptr;
            return;
        }
        const int32_t a = pcm[index] - 128;
        const int32_t b = (index + 1 < length ? pcm[index + 1] : pcm[index]) - 128;
        const int32_t fraction = static_cast<int32_t>((voice.position >> 16) & 0xFFFF);
        const int32_t value = a * 65536 + (b - a) * fraction;
        // 8-bit to 16-bit (x256), then 128/255 of full volume: x 256 x 128 / 255 / 65536.
        const int32_t level = value / (65536 * 255 / (256 * audio_effect_volume));
        mix[frame * 2] += level;
        mix[frame * 2 + 1] += level;
        voice.position += voice.step;
    }
    if ((voice.position >> 32) >= length) {
        voice.sample = nullptr;
    }
}

void mix_chunk(int16_t* frames, int frame_count) {
    std::array<int32_t, audio_buffer_frames * audio_channels> mix;
    music_render(mix.data(), frame_count);
    for (AudioVoice& voice : voices) {
        if (voice.sample) {
            voice_render(voice, mix.data(), frame_count);
        }
    }
    for (int i = 0; i < frame_count * audio_channels; ++i) {
        frames[i] = static_cast<int16_t>(std::clamp(mix[i], -32768, 32767));
    }
}

} // namespace

const char* audio_open() {
    if (device_open) {
        return nullptr;
    }
    if (const char* failure = audio_device_open(audio_mix)) {
        return failure;
    }
    device_open = true;
    return nullptr;
}

void audio_close() {
    if (device_open) {
        audio_device_close();
        device_open = false;
    }
    voices.fill(AudioVoice{});
    if (music) {
        openmpt_module_destroy(music);
        music = nullptr;
    }
    music_playing = false;
    samples.clear();
}

bool audio_is_open() {
    return device_open;
}

const char* audio_music_load(const uint8_t* data, size_t size) {
    if (!data || size == 0) {
        music_error = "no module data";
        return music_error.c_str();
    }
    int error = 0;
    const char* message = nullptr;
    openmpt_module* loaded = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent,
                                                                nullptr, openmpt_error_func_ignore,
                                                                nullptr, &error, &message, nullptr);
    if (!loaded) {
        music_error = message ? message : "not a module libopenmpt knows";
        openmpt_free_string(message);
        return music_error.c_str();
    }
    openmpt_free_string(message);
    openmpt_module_set_repeat_count(loaded, -1);
    audio_lock();
    openmpt_module* previous = music;
    music = loaded;
    music_playing = false;
    audio_unlock();
    if (previous) {
        openmpt_module_destroy(previous);
    }
    return nullptr;
}

void audio_music_play() {
    audio_lock();
    if (music) {
        openmpt_module_set_position_seconds(music, 0.0);
        music_playing = true;
    }
    audio_unlock();
}

AudioSample* audio_sample_make(const uint8_t* pcm, size_t length) {
    if (!pcm || length == 0) {
        return nullptr;
    }
    auto sample = std::make_unique<AudioSample>();
    sample->pcm.assign(pcm, pcm + length);
    samples.push_back(std::move(sample));
    return samples.back().get();
}

bool audio_sample_play(const AudioSample* sample, int32_t frequency) {
    if (!sample || frequency <= 0) {
        return false;
    }
    const uint64_t step = (static_cast<uint64_t>(frequency) << 32) / audio_rate;
    bool started = false;
    audio_lock();
    for (AudioVoice& voice : voices) {
        if (!voice.sample) {
            voice = AudioVoice{sample, 0, std::max<uint64_t>(step, 1)};
            started = true;
            break;
        }
    }
    audio_unlock();
    return started;
}

void audio_voices_stop() {
    audio_lock();
    voices.fill(AudioVoice{});
    audio_unlock();
}

int audio_voices_busy() {
    audio_lock();
    const int busy = static_cast<int>(
        std::count_if(voices.begin(), voices.end(), [](const AudioVoice& v) { return v.sample; }));
    audio_unlock();
    return busy;
}

void audio_mix(int16_t* frames, int frame_count) {
    while (frame_count > 0) {
        const int chunk = std::min(frame_count, audio_buffer_frames);
        mix_chunk(frames, chunk);
        frames += chunk * audio_channels;
        frame_count -= chunk;
    }
}
