#include "platform/audio.h"

#include "platform/platform.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <array>
#include <cstdlib>
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

// The ramp, then one buffer of silence: once that is asked for, the device has taken the ramp.
constexpr int fade_end = audio_fade_frames + audio_buffer_frames;

struct Mixer {
    bool device_open = false;
    std::string music_error;
    // Shared with the device's renderer: changed only under the device lock while it runs.
    openmpt_module* music = nullptr;
    bool music_playing = false;
    std::array<AudioVoice, audio_voice_count> voices;
    // Frames mixed since the closing ramp began; -1 while not fading.
    int fade_mixed = -1;
    std::vector<std::unique_ptr<AudioSample>> samples;
};

Mixer mixer;

void audio_lock() {
    if (mixer.device_open) {
        audio_device_lock();
    }
}

void audio_unlock() {
    if (mixer.device_open) {
        audio_device_unlock();
    }
}

void music_render(int32_t* mix, int frame_count) {
    std::array<int16_t, audio_buffer_frames * audio_channels> rendered{};
    size_t done = 0;
    if (mixer.music && mixer.music_playing) {
        done = openmpt_module_read_interleaved_stereo(mixer.music, audio_rate, frame_count,
                                                      rendered.data());
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

// Music and effects scale alike, so the balance between them holds. Above the knee the curve
// starts with slope 1 and flattens towards full scale: no corner, and never the rail itself.
int16_t mix_limit(int32_t value) {
    constexpr int64_t room = 32767 - audio_mix_knee;
    const int64_t over = std::abs(static_cast<int64_t>(value)) - audio_mix_knee;
    if (over <= 0) {
        return static_cast<int16_t>(value);
    }
    const int64_t bent = audio_mix_knee + over * room / (over + room);
    return static_cast<int16_t>(value < 0 ? -bent : bent);
}

// Linear: frame k of the ramp is scaled by (fade_frames - k) / fade_frames, then silence.
void fade_apply(int16_t* frames, int frame_count) {
    for (int frame = 0; frame < frame_count; ++frame) {
        const int gain = std::max(audio_fade_frames - mixer.fade_mixed, 0);
        for (int channel = 0; channel < audio_channels; ++channel) {
            int16_t& sample = frames[frame * audio_channels + channel];
            sample = static_cast<int16_t>(sample * gain / audio_fade_frames);
        }
        mixer.fade_mixed = std::min(mixer.fade_mixed + 1, fade_end);
    }
}

// The device closes only once the ramp is out; a device that stops asking for buffers gets a
// few buffers' grace and is closed anyway.
void device_drain() {
    audio_fade_start();
    const uint32_t deadline =
        clock_ticks() + 1000 * (fade_end + 4 * audio_buffer_frames) / audio_rate;
    while (!audio_fade_done() && static_cast<int32_t>(deadline - clock_ticks()) > 0) {
        clock_sleep(2);
    }
}

void mix_chunk(int16_t* frames, int frame_count) {
    std::array<int32_t, audio_buffer_frames * audio_channels> mix;
    music_render(mix.data(), frame_count);
    for (AudioVoice& voice : mixer.voices) {
        if (voice.sample) {
            voice_render(voice, mix.data(), frame_count);
        }
    }
    for (int i = 0; i < frame_count * audio_channels; ++i) {
        frames[i] = mix_limit(mix[i]);
    }
    if (mixer.fade_mixed >= 0) {
        fade_apply(frames, frame_count);
    }
}

} // namespace

const char* audio_open() {
    if (mixer.device_open) {
        return nullptr;
    }
    if (const char* failure = audio_device_open(audio_mix)) {
        return failure;
    }
    mixer.device_open = true;
    mixer.fade_mixed = -1;
    return nullptr;
}

void audio_close() {
    if (mixer.device_open) {
        device_drain();
        audio_device_close();
        mixer.device_open = false;
    }
    mixer.voices.fill(AudioVoice{});
    if (mixer.music) {
        openmpt_module_destroy(mixer.music);
        mixer.music = nullptr;
    }
    mixer.music_playing = false;
    mixer.fade_mixed = -1;
    mixer.samples.clear();
}

bool audio_is_open() {
    return mixer.device_open;
}

const char* audio_music_load(const uint8_t* data, size_t size) {
    if (!data || size == 0) {
        mixer.music_error = "no module data";
        return mixer.music_error.c_str();
    }
    int error = 0;
    const char* message = nullptr;
    openmpt_module* loaded = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent,
                                                                nullptr, openmpt_error_func_ignore,
                                                                nullptr, &error, &message, nullptr);
    if (!loaded) {
        mixer.music_error = message ? message : "not a module libopenmpt knows";
        openmpt_free_string(message);
        return mixer.music_error.c_str();
    }
    openmpt_free_string(message);
    openmpt_module_set_repeat_count(loaded, -1);
    audio_lock();
    openmpt_module* previous = mixer.music;
    mixer.music = loaded;
    mixer.music_playing = false;
    audio_unlock();
    if (previous) {
        openmpt_module_destroy(previous);
    }
    return nullptr;
}

void audio_music_play() {
    audio_lock();
    if (mixer.music) {
        openmpt_module_set_position_seconds(mixer.music, 0.0);
        mixer.music_playing = true;
    }
    audio_unlock();
}

AudioSample* audio_sample_make(const uint8_t* pcm, size_t length) {
    if (!pcm || length == 0) {
        return nullptr;
    }
    auto sample = std::make_unique<AudioSample>();
    sample->pcm.assign(pcm, pcm + length);
    mixer.samples.push_back(std::move(sample));
    return mixer.samples.back().get();
}

bool audio_sample_play(const AudioSample* sample, int32_t frequency) {
    if (!sample || frequency <= 0) {
        return false;
    }
    const uint64_t step = (static_cast<uint64_t>(frequency) << 32) / audio_rate;
    bool started = false;
    audio_lock();
    for (AudioVoice& voice : mixer.voices) {
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
    mixer.voices.fill(AudioVoice{});
    audio_unlock();
}

int audio_voices_busy() {
    audio_lock();
    const int busy = static_cast<int>(std::count_if(mixer.voices.begin(), mixer.voices.end(),
                                                    [](const AudioVoice& v) { return v.sample; }));
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

void audio_fade_start() {
    audio_lock();
    if (mixer.fade_mixed < 0) {
        mixer.fade_mixed = 0;
    }
    audio_unlock();
}

bool audio_fade_done() {
    audio_lock();
    const bool done = mixer.fade_mixed == fade_end;
    audio_unlock();
    return done;
}
