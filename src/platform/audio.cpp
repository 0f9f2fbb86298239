#include "platform/audio.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <array>
#include <atomic>
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
std::string device_error;
std::string music_error;

// Shared with the audio thread: changed only under the audio lock while the device runs.
openmpt_module* music = nullptr;
bool music_playing = false;
std::array<AudioVoice, audio_voice_count> voices;

// Frames mixed since the closing ramp began; -1 while not fading.
int fade_mixed = -1;
// The ramp, then one buffer of silence: once that is asked for, the device has taken the ramp.
constexpr int fade_end = audio_fade_frames + audio_buffer_frames;

std::vector<std::unique_ptr<AudioSample>> samples;
std::atomic<AudioTap> tap{nullptr};

void audio_lock() {
    if (device_open) {
        SDL_LockAudio();
    }
}

void audio_unlock() {
    if (device_open) {
        SDL_UnlockAudio();
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
        const int gain = std::max(audio_fade_frames - fade_mixed, 0);
        for (int channel = 0; channel < audio_channels; ++channel) {
            int16_t& sample = frames[frame * audio_channels + channel];
            sample = static_cast<int16_t>(sample * gain / audio_fade_frames);
        }
        fade_mixed = std::min(fade_mixed + 1, fade_end);
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
        frames[i] = mix_limit(mix[i]);
    }
    if (fade_mixed >= 0) {
        fade_apply(frames, frame_count);
    }
}

// The device closes only once the ramp is out; a device that stops asking for buffers gets a
// few buffers' grace and is closed anyway.
void device_drain() {
    audio_fade_start();
    const Uint32 deadline =
        SDL_GetTicks() + 1000 * (fade_end + 4 * audio_buffer_frames) / audio_rate;
    while (!audio_fade_done() && static_cast<int32_t>(deadline - SDL_GetTicks()) > 0) {
        SDL_Delay(2);
    }
}

void device_callback(void*, Uint8* stream, int length) {
    int16_t* frames = reinterpret_cast<int16_t*>(stream);
    const int frame_count = length / static_cast<int>(sizeof(int16_t) * audio_channels);
    audio_mix(frames, frame_count);
    if (AudioTap observer = tap.load()) {
        observer(frames, frame_count);
    }
}

} // namespace

const char* audio_open() {
    if (device_open) {
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
        device_error = SDL_GetError();
        return device_error.c_str();
    }
    SDL_AudioSpec wanted{};
    wanted.freq = audio_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = audio_channels;
    wanted.samples = audio_buffer_frames;
    wanted.callback = device_callback;
    // Nothing asked back: SDL converts to exactly this format if the hardware wants another.
    if (SDL_OpenAudio(&wanted, nullptr) < 0) {
        device_error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return device_error.c_str();
    }
    device_open = true;
    fade_mixed = -1;
    SDL_PauseAudio(0);
    return nullptr;
}

void audio_close() {
    if (device_open) {
        device_drain();
        SDL_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device_open = false;
    }
    voices.fill(AudioVoice{});
    if (music) {
        openmpt_module_destroy(music);
        music = nullptr;
    }
    music_playing = false;
    fade_mixed = -1;
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
    samples.push_back(std::make_unique<AudioSample>(std::vector<uint8_t>(pcm, pcm + length)));
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

void audio_fade_start() {
    audio_lock();
    if (fade_mixed < 0) {
        fade_mixed = 0;
    }
    audio_unlock();
}

bool audio_fade_done() {
    audio_lock();
    const bool done = fade_mixed == fade_end;
    audio_unlock();
    return done;
}

void audio_set_tap(AudioTap observer) {
    tap.store(observer);
}
